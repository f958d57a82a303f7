#include "file_calls.h"
#include "descriptors.h"

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <linux/magic.h>
#include <sys/ioctl.h>
#include <sys/vfs.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

// A name as the kernel takes it: after the folder's prefix, ending in a NUL.
// A run makes several of these per file, so a plain name beside an open
// folder is copied onto the stack rather than into a new string.
class c_path {
public:
    c_path(std::string_view prefix, std::string_view name)
    {
        if (prefix.empty() && name.size() < sizeof m_short) {
            // An empty view may hold no pointer at all, which memcpy must not be given.
            if (!name.empty())
                std::memcpy(m_short, name.data(), name.size());
            m_short[name.size()] = '\0';
            m_text = m_short;
            return;
        }
        m_long.reserve(prefix.size() + name.size());
        m_long.append(prefix).append(name);
        m_text = m_long.c_str();
    }
    c_path(const c_path&) = delete;
    c_path& operator=(const c_path&) = delete;
    operator const char*() const { return m_text; }

private:
    char m_short[256];
    std::string m_long;
    const char* m_text;
};

int answer(int result)
{
    return result == 0 ? 0 : errno;
}

entry_type type_of(mode_t mode)
{
    if (S_ISREG(mode))
        return entry_type::file;
    if (S_ISLNK(mode))
        return entry_type::link;
    if (S_ISDIR(mode))
        return entry_type::folder;
    return entry_type::other;
}

// Whether the folder held at `fd` lies where a name in another case may be
// the same entry: false only on the file systems known to keep case, and on
// those that can fold case folder by folder (ext4, f2fs, tmpfs), only where
// the folder does not.
bool folder_may_ignore_case(int fd)
{
    struct statfs fs {};
    if (fd < 0 || fstatfs(fd, &fs) != 0)
        return true;
    switch (static_cast<unsigned long>(fs.f_type)) {
    case EXT4_SUPER_MAGIC:
    case F2FS_SUPER_MAGIC:
    case TMPFS_MAGIC: {
        int flags = 0;
        return ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0 || (flags & FS_CASEFOLD_FL) != 0;
    }
    case XFS_SUPER_MAGIC:
    case BTRFS_SUPER_MAGIC:
    case RAMFS_MAGIC:
        return false;
    default:
        return true;
    }
}

} // namespace

int system_calls::look(std::string_view name, entry_type& type)
{
    struct stat st {};
    if (fstatat(m_fd, c_path(m_prefix, name), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    type = type_of(st.st_mode);
    return 0;
}

int system_calls::rename_noreplace(std::string_view from, std::string_view to)
{
    return answer(static_cast<int>(syscall(SYS_renameat2, m_fd, c_path(m_prefix, from).operator const char*(), m_fd,
                                           c_path(m_prefix, to).operator const char*(), RENAME_NOREPLACE)));
}

int system_calls::link(std::string_view from, std::string_view to)
{
    return answer(linkat(m_fd, c_path(m_prefix, from), m_fd, c_path(m_prefix, to), 0));
}

int system_calls::unlink(std::string_view name)
{
    return answer(unlinkat(m_fd, c_path(m_prefix, name), 0));
}

int system_calls::plain_rename(std::string_view from, std::string_view to)
{
    return answer(renameat(m_fd, c_path(m_prefix, from), m_fd, c_path(m_prefix, to)));
}

int system_calls::list(std::vector<listed_entry>& entries)
{
    // A descriptor of its own, since the stream closes it and reads from
    // where the last reader left off.
    unique_fd fd = m_prefix.empty() ? open_at(m_fd, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                                    : open_at(AT_FDCWD, c_path({}, m_prefix), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (!fd.is_open())
        return errno;
    dir_stream dir(std::move(fd));
    if (!dir)
        return errno;
    entries.clear();
    errno = 0;
    while (const dirent* entry = dir.next()) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        entry_type type = entry_type::other;
        switch (entry->d_type) {
        case DT_REG:
            type = entry_type::file;
            break;
        case DT_LNK:
            type = entry_type::link;
            break;
        case DT_DIR:
            type = entry_type::folder;
            break;
        case DT_UNKNOWN: {
            struct stat st {};
            if (fstatat(dir.descriptor(), entry->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0)
                type = type_of(st.st_mode);
            break;
        }
        default:
            break;
        }
        entries.push_back({std::string(name), type});
        errno = 0;
    }
    return errno;
}

int system_calls::may_write()
{
    return answer(faccessat(m_fd, m_prefix.empty() ? "." : c_path({}, m_prefix).operator const char*(),
                            W_OK | X_OK, AT_EACCESS));
}

int system_calls::may_link(std::string_view name, bool& allowed)
{
    struct stat st {};
    if (fstatat(m_fd, c_path(m_prefix, name), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return errno;
    const uid_t caller = geteuid();
    allowed = (S_ISREG(st.st_mode) || S_ISLNK(st.st_mode)) && (caller == 0 || st.st_uid == caller);
    return 0;
}

bool system_calls::may_ignore_case()
{
    if (m_prefix.empty())
        return folder_may_ignore_case(m_fd);
    const unique_fd fd = open_at(AT_FDCWD, c_path({}, m_prefix), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    return folder_may_ignore_case(fd.get());
}

const file_system& kernel_files()
{
    static const file_system kernel;
    return kernel;
}

} // namespace platform

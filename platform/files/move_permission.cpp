#include "move_permission.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr std::uint8_t unknown = 0, movable = 1, refused = 2;

// The immutable and append-only flags, from the attributes statx reports
// where the file system does.
bool attributes_say_fixed(const struct statx& status, bool& known)
{
    constexpr auto both = STATX_ATTR_IMMUTABLE | STATX_ATTR_APPEND;
    known = (status.stx_attributes_mask & both) == both;
    return known && (status.stx_attributes & both) != 0;
}

} // namespace

move_permission::move_permission(const std::string& folder, std::size_t files, file_looks looks)
    : m_fd(open_at(AT_FDCWD, folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)), m_files(files),
      m_every_file(looks == file_looks::every_file), m_user(geteuid())
{
    struct statx status {};
    if (!m_fd.is_open() || statx(m_fd.get(), "", AT_EMPTY_PATH, STATX_MODE | STATX_UID, &status) != 0)
        return;
    // A folder's own append-only flag lets entries in but none out.
    int flags = 0;
    m_every_file_refused = (status.stx_attributes_mask & STATX_ATTR_APPEND)
                               ? (status.stx_attributes & STATX_ATTR_APPEND) != 0
                               : ioctl(m_fd.get(), FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_APPEND_FL) != 0;
    m_owner_decides = (status.stx_mode & S_ISVTX) && m_user != 0 && status.stx_uid != m_user;
    if (m_every_file || m_owner_decides)
        m_known = std::make_unique<std::atomic<std::uint8_t>[]>(files);
}

int move_permission::refusal(std::uint32_t file, std::string_view name)
{
    if (m_every_file_refused)
        return EPERM;
    // Nothing to look at, or the folder could not be looked at.
    if (file >= m_files || !m_known)
        return 0;
    std::uint8_t known = m_known[file].load(std::memory_order_relaxed);
    if (known == unknown) {
        known = may_not_move(name) ? refused : movable;
        m_known[file].store(known, std::memory_order_relaxed);
    }
    return known == refused ? EPERM : 0;
}

bool move_permission::may_not_move(std::string_view name) const
{
    const std::string path(name);
    struct statx status {};
    if (statx(m_fd.get(), path.c_str(), AT_SYMLINK_NOFOLLOW | AT_STATX_DONT_SYNC, STATX_MODE | STATX_UID, &status) != 0)
        return false;
    if (m_owner_decides && status.stx_uid != m_user)
        return true;
    bool known = false;
    const bool fixed = attributes_say_fixed(status, known);
    if (known)
        return fixed;
    if (!m_every_file || !S_ISREG(status.stx_mode) || m_no_flags.load(std::memory_order_relaxed))
        return false;
    // Where statx does not report the flags, the file is opened to ask for
    // them; a file that cannot be opened is taken as movable.
    const unique_fd fd = open_at(m_fd.get(), path.c_str(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (!fd.is_open())
        return false;
    int flags = 0;
    const bool answered = ioctl(fd.get(), FS_IOC_GETFLAGS, &flags) == 0;
    if (!answered)
        m_no_flags.store(true, std::memory_order_relaxed);
    return answered && (flags & (FS_IMMUTABLE_FL | FS_APPEND_FL)) != 0;
}

} // namespace platform

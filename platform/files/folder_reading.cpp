#include "folder_reading.h"
#include "file_calls.h"
#include "list_order.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

enum class entry_kind { file, folder, other };

entry_kind kind_of(int dir_fd, const dirent* entry)
{
    switch (entry->d_type) {
    case DT_REG:
        return entry_kind::file;
    case DT_LNK:
    case DT_UNKNOWN:
        break;
    case DT_DIR:
        return entry_kind::folder;
    default:
        return entry_kind::other;
    }
    struct stat st {};
    if (fstatat(dir_fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0)
        return entry_kind::other;
    if (S_ISREG(st.st_mode))
        return entry_kind::file;
    if (S_ISDIR(st.st_mode))
        return entry_kind::folder;
    if (!S_ISLNK(st.st_mode))
        return entry_kind::other;
    // A link is listed as a file in its own right, unless it leads to a
    // folder, which the folder list shows instead.
    if (fstatat(dir_fd, entry->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode))
        return entry_kind::folder;
    return entry_kind::file;
}

std::optional<std::vector<std::string>> list_entries(const std::string& folder, bool folders,
                                                      const file_system& files)
{
    auto names = folder_reading(folder, folders, -1, files).finish();
    if (!names)
        return std::nullopt;
    return names->to_strings();
}

} // namespace

std::optional<std::vector<std::string>> list_files(const std::string& folder, const file_system& files)
{
    return list_entries(folder, false, files);
}

std::optional<std::vector<std::string>> list_subfolders(const std::string& folder, const file_system& files)
{
    return list_entries(folder, true, files);
}

folder_reading::folder_reading(const std::string& folder, bool folders, int open_fd, const file_system& files)
    : m_folders(folders)
{
    if (const int refused = files.refuses_listing(folder)) {
        errno = refused;
        return;
    }
    if (open_fd >= 0) {
        m_dir = read_from_start(open_fd);
    } else if (open_fd == -1) {
        // An empty path names no folder; taking it for the current one would
        // list one folder and, joined with a name, rename in another ("/").
        if (folder.empty())
            errno = ENOENT;
        else
            m_dir = dir_stream(opendir(folder.c_str()));
    }
    // Room for the names at once where the folder's size tells how many it
    // holds (a memory file system counts 20 bytes an entry; a disk's folder
    // is at least as large as its names), so that a large folder is not
    // copied as it grows, which would hold up the message loop. Room that
    // is never written costs no memory.
    struct stat st {};
    if (m_dir && fstat(m_dir.descriptor(), &st) == 0 && st.st_size > 0 && st.st_size < (std::int64_t(1) << 34)) {
        const auto size = static_cast<std::size_t>(st.st_size);
        m_names.reserve(size / 20, size);
    }
}

bool folder_reading::read_some(std::size_t count)
{
    if (!m_dir)
        return true;
    const int fd = m_dir.descriptor();
    const entry_kind wanted = m_folders ? entry_kind::folder : entry_kind::file;
    errno = 0;
    for (std::size_t seen = 0; seen < count; ++seen) {
        const dirent* entry = m_dir.next();
        if (!entry) {
            if (errno != 0) {
                m_dir.reset();
                return true;
            }
            m_done = true;
            return true;
        }
        const std::string_view name = entry->d_name;
        if (name[0] != '.' && kind_of(fd, entry) == wanted) {
            if (!m_names.empty() && (m_forward || m_backward)) {
                const std::string_view last = m_names[m_names.size() - 1];
                m_forward = m_forward && list_order_less(last, name);
                m_backward = m_backward && list_order_less(name, last);
            }
            m_names.push_back(name, entry->d_ino);
        }
        else if (name != "." && name != "..")
            m_others.push_back(name);
        errno = 0;
    }
    return false;
}

std::optional<name_list> folder_reading::finish()
{
    while (!read_some(SIZE_MAX)) {
    }
    if (!m_dir || !m_done)
        return std::nullopt;
    m_dir.reset();
    m_names.sort(m_forward   ? name_list::known_order::forward
                 : m_backward ? name_list::known_order::backward
                              : name_list::known_order::none);
    return std::move(m_names);
}

} // namespace platform

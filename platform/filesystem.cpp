#include "filesystem.h"
#include "test_hooks.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <fstream>
#include <linux/fs.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <utility>
#include <dirent.h>

namespace platform {

namespace {

std::function<bool(const std::string&)>& listing_fault_hook()
{
    static std::function<bool(const std::string&)> hook;
    return hook;
}

unsigned char ascii_lower(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// Sorting a large folder compares long shared prefixes many times, so each
// name's folded form is made once and compared with memcmp; the result is the
// same order as list_order_less.
void sort_in_list_order(std::vector<std::string>& names)
{
    // A folder often lists in order already, or in reverse (a memory file
    // system gives its newest entries first, and a run renames in list
    // order); one look along the list then saves the sort.
    if (std::is_sorted(names.begin(), names.end(), list_order_less))
        return;
    if (std::is_sorted(names.rbegin(), names.rend(), list_order_less)) {
        std::reverse(names.begin(), names.end());
        return;
    }
    struct keyed {
        std::string key;
        std::string name;
    };
    std::vector<keyed> items;
    items.reserve(names.size());
    for (auto& name : names) {
        std::string key = name;
        for (auto& c : key)
            c = static_cast<char>(ascii_lower(static_cast<unsigned char>(c)));
        items.push_back({std::move(key), std::move(name)});
    }
    std::sort(items.begin(), items.end(), [](const keyed& a, const keyed& b) {
        if (const int order = a.key.compare(b.key))
            return order < 0;
        return a.name < b.name;
    });
    for (std::size_t i = 0; i < names.size(); ++i)
        names[i] = std::move(items[i].name);
}

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

std::optional<std::vector<std::string>> list_entries(const std::string& folder, bool folders, int open_fd = -1)
{
    return folder_reading(folder, folders, open_fd).finish();
}

// Where a rename happens: names are given relative to a directory handle
// (then the prefix is empty) or, with AT_FDCWD, as full paths that start with
// the folder's prefix. The callers have checked that both names are plain
// names of that one folder, so every step stays inside it.
struct place {
    int dir_fd;
    std::string_view prefix;
    std::string at(std::string_view name) const
    {
        std::string path;
        path.reserve(prefix.size() + name.size());
        path.append(prefix).append(name);
        return path;
    }
};

// One name of a rename as the system call takes it: a string ending in NUL,
// here the tail of a path the caller holds, so that a rename copies nothing.
struct call_name {
    const char* at;          // what the call is given: the name or the full path
    std::string_view name;   // the plain name alone
};

bool& without_noreplace()
{
    static bool flag = false;
    return flag;
}

int renameat2_noreplace(const place& where, const char* from, const char* to)
{
    if (without_noreplace()) {
        errno = EINVAL;
        return -1;
    }
    return static_cast<int>(syscall(SYS_renameat2, where.dir_fd, from, where.dir_fd, to, RENAME_NOREPLACE));
}

// One no-replace step. Where the file system has no RENAME_NOREPLACE (NFS,
// some FUSE), a hard link followed by an unlink gives the same guarantee,
// because linkat never replaces either.
rename_result move_once(const place& where, const char* source, const char* target)
{
    if (renameat2_noreplace(where, source, target) == 0)
        return rename_result::renamed;
    const int err = errno;
    if (err == EEXIST)
        return rename_result::exists;
    if (err != EINVAL && err != ENOSYS && err != ENOTSUP && err != EOPNOTSUPP)
        return rename_result::failed;

    if (linkat(where.dir_fd, source, where.dir_fd, target, 0) != 0)
        return errno == EEXIST ? rename_result::exists : rename_result::failed;
    if (unlinkat(where.dir_fd, source, 0) != 0) {
        // Take the second name away again, so the file keeps exactly the name
        // it had.
        unlinkat(where.dir_fd, target, 0);
        return rename_result::failed;
    }
    return rename_result::renamed;
}

rename_result move_once(const place& where, const std::string& from, const std::string& to)
{
    return move_once(where, where.at(from).c_str(), where.at(to).c_str());
}

bool same_file(const place& where, const char* a, const char* b)
{
    struct stat sa {}, sb {};
    return fstatat(where.dir_fd, a, &sa, AT_SYMLINK_NOFOLLOW) == 0 &&
           fstatat(where.dir_fd, b, &sb, AT_SYMLINK_NOFOLLOW) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// On a case-insensitive file system "a.txt" and "A.txt" are one entry, so a
// direct rename between them looks like a clash. Going through a name that
// surely is free renames it in two no-replace steps.
rename_result move_through_temporary(const place& where, std::string_view from_name,
                                     std::string_view to_name)
{
    const std::string from(from_name), to(to_name);
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, ".fennimo-%ld-%u", static_cast<long>(getpid()), counter++);
        const std::string temporary = name;
        const auto first = move_once(where, from, temporary);
        if (first == rename_result::exists)
            continue;
        if (first != rename_result::renamed)
            return first;
        const auto second = move_once(where, temporary, to);
        if (second == rename_result::renamed)
            return second;
        move_once(where, temporary, from);
        return second;
    }
    return rename_result::failed;
}

} // namespace

bool list_order_less(std::string_view a, std::string_view b)
{
    const auto n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        if (a[i] == b[i])
            continue;
        const auto ca = ascii_lower(static_cast<unsigned char>(a[i]));
        const auto cb = ascii_lower(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

std::optional<std::vector<std::string>> list_files(const std::string& folder)
{
    return list_entries(folder, false);
}

std::optional<std::vector<std::string>> list_subfolders(const std::string& folder)
{
    return list_entries(folder, true);
}

void pretend_no_rename_noreplace(bool pretend)
{
    without_noreplace() = pretend;
}

void set_listing_fault_hook(std::function<bool(const std::string&)> hook)
{
    listing_fault_hook() = std::move(hook);
}

namespace {

// /proc/self/mounts writes blanks, tabs, newlines and backslashes as octal.
std::string unescape_mount_path(const std::string& text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size()) {
            const auto digits = text.substr(i + 1, 3);
            if (digits.size() == 3 && digits.find_first_not_of("01234567") == std::string::npos) {
                out += static_cast<char>(std::stoi(digits, nullptr, 8));
                i += 3;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

bool is_pseudo_file_system(const std::string& type)
{
    static const char* const pseudo[] = {
        "proc",     "sysfs",      "devpts",     "cgroup",  "cgroup2",     "mqueue",
        "debugfs",  "tracefs",    "securityfs", "pstore",  "bpf",         "autofs",
        "configfs", "fusectl",    "hugetlbfs",  "binfmt_misc", "nsfs",    "rpc_pipefs",
        "efivarfs", "selinuxfs",  "devtmpfs",   "ramfs",   "fuse.gvfsd-fuse", "fuse.portal",
    };
    return std::find(std::begin(pseudo), std::end(pseudo), type) != std::end(pseudo);
}

} // namespace

std::vector<std::string> list_drives()
{
    std::vector<std::string> drives;
    std::ifstream mounts("/proc/self/mounts");
    std::string device, path, type, rest;
    while (mounts >> device >> path >> type) {
        std::getline(mounts, rest);
        if (is_pseudo_file_system(type))
            continue;
        path = unescape_mount_path(path);
        if (path != "/" && std::find(drives.begin(), drives.end(), path) == drives.end())
            drives.push_back(path);
    }
    sort_in_list_order(drives);
    drives.insert(drives.begin(), "/");
    return drives;
}

bool is_plain_name(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.size() <= 255 &&
           name.find(path_separator) == std::string_view::npos &&
           name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

namespace {

// The folder as a prefix that a plain name can follow directly.
std::string folder_prefix(const std::string& folder)
{
    if (folder.empty())
        return std::string(".") + path_separator;
    if (folder.back() == path_separator)
        return folder;
    return folder + path_separator;
}

rename_result rename_checked(const place& where, call_name from, call_name to)
{
    if (!is_plain_name(from.name) || !is_plain_name(to.name))
        return rename_result::refused;
    if (from.name == to.name)
        return rename_result::unchanged;
    auto result = move_once(where, from.at, to.at);
    if (result == rename_result::exists && same_file(where, from.at, to.at))
        result = move_through_temporary(where, from.name, to.name);
    return result;
}

// Two full paths that name entries of one folder: the folder's prefix (up to
// and including the last separator) and each name, as views of the paths
// themselves; nothing when the folders differ.
struct split_paths {
    std::string_view prefix;
    call_name from, to;
};

std::optional<split_paths> split_in_one_folder(const std::string& old_path, const std::string& new_path)
{
    const auto old_cut = old_path.rfind(path_separator);
    const auto new_cut = new_path.rfind(path_separator);
    if (old_cut == std::string::npos || new_cut == std::string::npos || old_cut != new_cut ||
        old_path.compare(0, old_cut + 1, new_path, 0, new_cut + 1) != 0)
        return std::nullopt;
    const std::string_view old_view(old_path), new_view(new_path);
    return split_paths{old_view.substr(0, old_cut + 1),
                       {old_path.c_str(), old_view.substr(old_cut + 1)},
                       {new_path.c_str(), new_view.substr(new_cut + 1)}};
}

} // namespace

rename_result rename_no_replace(const std::string& old_path, const std::string& new_path)
{
    const auto split = split_in_one_folder(old_path, new_path);
    if (!split)
        return rename_result::refused;
    return rename_checked({AT_FDCWD, split->prefix}, split->from, split->to);
}

open_folder::open_folder(const std::string& folder)
    : m_folder(folder),
      m_fd(open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
}

folder_reading::folder_reading(const std::string& folder, bool folders, int open_fd)
    : m_folders(folders)
{
    if (listing_fault_hook() && listing_fault_hook()(folder)) {
        errno = EACCES;
        return;
    }
    if (open_fd >= 0) {
        // The stream takes the descriptor it is given, so it gets a copy.
        const int copy = fcntl(open_fd, F_DUPFD_CLOEXEC, 0);
        if (copy >= 0 && !(m_dir = fdopendir(copy)))
            close(copy);
        if (m_dir)
            rewinddir(m_dir);
    } else if (open_fd == -1) {
        m_dir = opendir(folder.empty() ? "." : folder.c_str());
    }
}

folder_reading::~folder_reading()
{
    if (m_dir)
        closedir(m_dir);
}

folder_reading::folder_reading(folder_reading&& other) noexcept
    : m_dir(std::exchange(other.m_dir, nullptr)), m_folders(other.m_folders), m_done(other.m_done),
      m_names(std::move(other.m_names))
{
}

bool folder_reading::read_some(std::size_t count)
{
    if (!m_dir)
        return true;
    const int fd = dirfd(m_dir);
    const entry_kind wanted = m_folders ? entry_kind::folder : entry_kind::file;
    errno = 0;
    for (std::size_t seen = 0; seen < count; ++seen) {
        const dirent* entry = readdir(m_dir);
        if (!entry) {
            if (errno != 0) {
                closedir(std::exchange(m_dir, nullptr));
                return true;
            }
            m_done = true;
            return true;
        }
        if (entry->d_name[0] != '.' && kind_of(fd, entry) == wanted)
            m_names.emplace_back(entry->d_name);
        errno = 0;
    }
    return false;
}

std::optional<std::vector<std::string>> folder_reading::finish()
{
    while (!read_some(SIZE_MAX)) {
    }
    if (!m_dir || !m_done)
        return std::nullopt;
    closedir(std::exchange(m_dir, nullptr));
    sort_in_list_order(m_names);
    return std::move(m_names);
}

folder_reading open_folder::reading() const
{
    if (m_fd < 0)
        return folder_reading(m_folder, false, -2);
    return folder_reading(m_folder, false, m_fd);
}

std::optional<std::vector<std::string>> open_folder::list_files() const
{
    return reading().finish();
}

open_folder::~open_folder()
{
    if (m_fd >= 0)
        close(m_fd);
}

open_folder::open_folder(open_folder&& other) noexcept
    : m_folder(std::move(other.m_folder)),
      m_fd(std::exchange(other.m_fd, -1))
{
}

open_folder& open_folder::operator=(open_folder&& other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            close(m_fd);
        m_folder = std::move(other.m_folder);
        m_fd = std::exchange(other.m_fd, -1);
    }
    return *this;
}

rename_result open_folder::rename_no_replace(const std::string& folder, std::string_view old_name,
                                             std::string_view new_name) const
{
    if (m_fd < 0 || folder != m_folder) {
        const std::string prefix = folder_prefix(folder);
        return platform::rename_no_replace(prefix + std::string(old_name), prefix + std::string(new_name));
    }
    if (!is_plain_name(old_name) || !is_plain_name(new_name))
        return rename_result::refused;
    // A plain name fits in 255 bytes; the calls take it with a NUL after it,
    // copied here rather than into a string of its own for every file.
    char from[256], to[256];
    *std::copy(old_name.begin(), old_name.end(), from) = '\0';
    *std::copy(new_name.begin(), new_name.end(), to) = '\0';
    return rename_checked({m_fd, {}}, {from, old_name}, {to, new_name});
}

} // namespace platform

#include "filesystem.h"

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

// Closes a directory stream on every path out of a listing.
struct dir_handle {
    DIR* dir;
    explicit dir_handle(DIR* d) : dir(d) {}
    ~dir_handle()
    {
        if (dir)
            closedir(dir);
    }
    dir_handle(const dir_handle&) = delete;
    dir_handle& operator=(const dir_handle&) = delete;
};

enum class entry_kind { file, folder, other };

entry_kind kind_of(int dir_fd, const dirent* entry)
{
    switch (entry->d_type) {
    case DT_REG:
    case DT_LNK:
        break;
    case DT_DIR:
        return entry_kind::folder;
    case DT_UNKNOWN:
        break;
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

std::optional<std::vector<std::string>> list_entries(const std::string& folder, entry_kind wanted)
{
    if (listing_fault_hook() && listing_fault_hook()(folder)) {
        errno = EACCES;
        return std::nullopt;
    }
    dir_handle handle(opendir(folder.empty() ? "." : folder.c_str()));
    if (!handle.dir)
        return std::nullopt;
    const int fd = dirfd(handle.dir);
    std::vector<std::string> names;
    errno = 0;
    while (const dirent* entry = readdir(handle.dir)) {
        if (entry->d_name[0] == '.')
            continue;
        if (kind_of(fd, entry) == wanted)
            names.emplace_back(entry->d_name);
        errno = 0;
    }
    if (errno != 0)
        return std::nullopt;
    std::sort(names.begin(), names.end(),
              [](const std::string& a, const std::string& b) { return list_order_less(a, b); });
    return names;
}

int renameat2_noreplace(int dir_fd, const char* from, const char* to)
{
    return static_cast<int>(syscall(SYS_renameat2, dir_fd, from, dir_fd, to, RENAME_NOREPLACE));
}

// One no-replace step. Where the file system has no RENAME_NOREPLACE (NFS,
// some FUSE), a hard link followed by an unlink gives the same guarantee,
// because linkat never replaces either.
rename_result move_once(int dir_fd, const std::string& from, const std::string& to)
{
    if (renameat2_noreplace(dir_fd, from.c_str(), to.c_str()) == 0)
        return rename_result::renamed;
    const int err = errno;
    if (err == EEXIST)
        return rename_result::exists;
    if (err != EINVAL && err != ENOSYS && err != ENOTSUP && err != EOPNOTSUPP)
        return rename_result::failed;

    if (linkat(dir_fd, from.c_str(), dir_fd, to.c_str(), 0) != 0)
        return errno == EEXIST ? rename_result::exists : rename_result::failed;
    if (unlinkat(dir_fd, from.c_str(), 0) != 0) {
        // Take the second name away again, so the file keeps exactly the name
        // it had.
        unlinkat(dir_fd, to.c_str(), 0);
        return rename_result::failed;
    }
    return rename_result::renamed;
}

bool same_file(int dir_fd, const std::string& a, const std::string& b)
{
    struct stat sa {}, sb {};
    return fstatat(dir_fd, a.c_str(), &sa, AT_SYMLINK_NOFOLLOW) == 0 &&
           fstatat(dir_fd, b.c_str(), &sb, AT_SYMLINK_NOFOLLOW) == 0 && sa.st_dev == sb.st_dev &&
           sa.st_ino == sb.st_ino;
}

// On a case-insensitive file system "a.txt" and "A.txt" are one entry, so a
// direct rename between them looks like a clash. Going through a name that
// surely is free renames it in two no-replace steps.
rename_result move_through_temporary(int dir_fd, const std::string& from, const std::string& to)
{
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        char temporary[64];
        std::snprintf(temporary, sizeof temporary, ".fennimo-%ld-%u", static_cast<long>(getpid()),
                      counter++);
        const auto first = move_once(dir_fd, from, temporary);
        if (first == rename_result::exists)
            continue;
        if (first != rename_result::renamed)
            return first;
        const auto second = move_once(dir_fd, temporary, to);
        if (second == rename_result::renamed)
            return second;
        move_once(dir_fd, temporary, from);
        return second;
    }
    return rename_result::failed;
}

} // namespace

bool list_order_less(std::string_view a, std::string_view b)
{
    const auto n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
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
    return list_entries(folder, entry_kind::file);
}

std::optional<std::vector<std::string>> list_subfolders(const std::string& folder)
{
    return list_entries(folder, entry_kind::folder);
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
    std::sort(drives.begin(), drives.end(),
              [](const std::string& a, const std::string& b) { return list_order_less(a, b); });
    drives.insert(drives.begin(), "/");
    return drives;
}

bool is_plain_name(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.size() <= 255 &&
           name.find(path_separator) == std::string_view::npos && name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

rename_result rename_in_folder(const std::string& folder, const std::string& old_name,
                               const std::string& new_name)
{
    if (!is_plain_name(old_name) || !is_plain_name(new_name))
        return rename_result::refused;
    if (old_name == new_name)
        return rename_result::unchanged;

    const int dir_fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir_fd < 0)
        return rename_result::failed;
    auto result = move_once(dir_fd, old_name, new_name);
    if (result == rename_result::exists && same_file(dir_fd, old_name, new_name))
        result = move_through_temporary(dir_fd, old_name, new_name);
    close(dir_fd);
    return result;
}

rename_result rename_no_replace(const std::string& old_path, const std::string& new_path)
{
    const auto old_cut = old_path.rfind(path_separator);
    const auto new_cut = new_path.rfind(path_separator);
    if (old_cut == std::string::npos || new_cut == std::string::npos || old_cut != new_cut ||
        old_path.compare(0, old_cut + 1, new_path, 0, new_cut + 1) != 0)
        return rename_result::refused;
    return rename_in_folder(old_path.substr(0, old_cut + 1), old_path.substr(old_cut + 1),
                            new_path.substr(new_cut + 1));
}

} // namespace platform

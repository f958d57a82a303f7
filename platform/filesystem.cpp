#include "filesystem.h"
#include "test_hooks.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
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

// The eight bytes of a name from `at` on, folded as list_order_less folds
// them and read as one big-endian number, so that comparing two keys
// compares those bytes in list order; a name that ends sooner is padded with
// zeros and so comes first, as it must, since no name holds a NUL.
std::uint64_t folded_key(std::string_view name, std::size_t at)
{
    std::uint64_t key = 0;
    for (std::size_t k = 0; k < 8; ++k) {
        const std::size_t i = at + k;
        key = key << 8 | (i < name.size() ? ascii_lower(static_cast<unsigned char>(name[i])) : 0u);
    }
    return key;
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

std::optional<std::vector<std::string>> list_entries(const std::string& folder, bool folders)
{
    auto names = folder_reading(folder, folders).finish();
    if (!names)
        return std::nullopt;
    return names->to_strings();
}

// Where a rename happens: names are given relative to a directory handle
// (then the prefix is empty) or, with AT_FDCWD, as full paths that start with
// the folder's prefix. The callers have checked that both names are plain
// names of that one folder, so every step stays inside it.
struct place {
    int dir_fd;
    std::string_view prefix;
};

// A name as the kernel takes it: after the folder's prefix, ending in a NUL.
// A run makes several of these per file, so a plain name beside an open
// folder is copied onto the stack rather than into a new string.
class c_path {
public:
    c_path(const place& where, std::string_view name)
    {
        if (where.prefix.empty() && name.size() < sizeof m_short) {
            // An empty view may hold no pointer at all, which memcpy must not be given.
            if (!name.empty())
                std::memcpy(m_short, name.data(), name.size());
            m_short[name.size()] = '\0';
            m_text = m_short;
            return;
        }
        m_long.reserve(where.prefix.size() + name.size());
        m_long.append(where.prefix).append(name);
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

bool& without_noreplace()
{
    static bool flag = false;
    return flag;
}

file_call_hook& call_hook()
{
    static file_call_hook hook;
    return hook;
}

// Runs the test hook before a file call; true when the call is to fail, with
// errno set, as the kernel would have failed it.
bool staged_failure(file_call call, std::string_view from, std::string_view to = {})
{
    if (call == file_call::rename_noreplace && without_noreplace()) {
        errno = EINVAL;
        return true;
    }
    if (!call_hook())
        return false;
    if (const int error = call_hook()(call, std::string(from), std::string(to))) {
        errno = error;
        return true;
    }
    return false;
}

int renameat2_noreplace(const place& where, std::string_view from, std::string_view to)
{
    if (staged_failure(file_call::rename_noreplace, from, to))
        return -1;
    return static_cast<int>(
        syscall(SYS_renameat2, where.dir_fd, c_path(where, from).operator const char*(), where.dir_fd,
                c_path(where, to).operator const char*(), RENAME_NOREPLACE));
}

int link_at(const place& where, std::string_view from, std::string_view to)
{
    if (staged_failure(file_call::link, from, to))
        return -1;
    return linkat(where.dir_fd, c_path(where, from), where.dir_fd, c_path(where, to), 0);
}

int unlink_at(const place& where, std::string_view name)
{
    if (staged_failure(file_call::unlink, name))
        return -1;
    return unlinkat(where.dir_fd, c_path(where, name), 0);
}

int plain_rename_at(const place& where, std::string_view from, std::string_view to)
{
    if (staged_failure(file_call::plain_rename, from, to))
        return -1;
    return renameat(where.dir_fd, c_path(where, from), where.dir_fd, c_path(where, to));
}

// The entry itself, never what a link points to.
int look_at(const place& where, std::string_view name, struct stat& st)
{
    if (staged_failure(file_call::look, name))
        return -1;
    return fstatat(where.dir_fd, c_path(where, name), &st, AT_SYMLINK_NOFOLLOW);
}

rename_result outcome_of(rename_outcome outcome, int error = 0)
{
    return {outcome, error, {}};
}

// A failed call says in errno whether the entry was gone, the name taken, or
// the file system refused for a reason of its own.
rename_result refusal(int error)
{
    if (error == ENOENT)
        return outcome_of(rename_outcome::entry_gone, error);
    if (error == EEXIST)
        return outcome_of(rename_outcome::target_exists, error);
    return outcome_of(rename_outcome::system_refused, error);
}

// What renameat2 answers where the file system has no RENAME_NOREPLACE (NFS,
// FUSE), and what linkat answers where it has no hard links (FAT through
// FUSE, sshfs).
bool noreplace_unsupported(int error)
{
    return error == EINVAL || error == ENOSYS || error == ENOTSUP || error == EOPNOTSUPP;
}

bool links_unsupported(int error)
{
    return error == EPERM || error == ENOSYS || error == ENOTSUP || error == EOPNOTSUPP;
}

// One no-replace step, by the first way the file system supports:
// renameat2 with RENAME_NOREPLACE; else a hard link and an unlink, because
// linkat never replaces either; else, only where the kernel has just refused
// both, a check that the new name is free followed by a plain rename.
rename_result move_once(const place& where, std::string_view from, std::string_view to)
{
    if (renameat2_noreplace(where, from, to) == 0)
        return outcome_of(rename_outcome::renamed);
    int err = errno;
    if (!noreplace_unsupported(err))
        return refusal(err);

    if (link_at(where, from, to) == 0) {
        if (unlink_at(where, from) != 0) {
            err = errno;
            // Take the second name away again, so the file keeps exactly the
            // name it had.
            unlink_at(where, to);
            return refusal(err);
        }
        return outcome_of(rename_outcome::renamed);
    }
    err = errno;
    if (!links_unsupported(err))
        return refusal(err);

    // This is the one step that is not atomic: another program that creates
    // the new name between the check and the rename loses its file to the
    // rename. Nothing atomic is left on such a file system, and refusing
    // would leave USB sticks and network shares unrenameable.
    struct stat st {};
    if (look_at(where, to, st) == 0)
        return outcome_of(rename_outcome::target_exists, EEXIST);
    if (errno != ENOENT)
        return refusal(errno);
    if (plain_rename_at(where, from, to) != 0)
        return refusal(errno);
    return outcome_of(rename_outcome::renamed);
}

// A name beside the old one that listings show, unlike the temporary name,
// for a file that cannot go back: the old name with ".fennimo-N" after it,
// cut so that the whole stays within 255 bytes.
std::string visible_name_beside(std::string_view old_name, int n)
{
    const std::string suffix = ".fennimo-" + std::to_string(n);
    return std::string(old_name.substr(0, 255 - suffix.size())) + suffix;
}

// Brings a file from its temporary name back to its old name and answers
// `why` for the rename that did not happen. When another program has taken
// the old name meanwhile, the file goes to a visible name beside it instead,
// so that it is never left hidden, and the answer says where it is.
rename_result put_back(const place& where, std::string_view temporary, std::string_view old_name,
                       const rename_result& why)
{
    const auto back = move_once(where, temporary, old_name);
    if (back.renamed())
        return why;
    std::string left_as(temporary);
    for (int n = 1; n <= 100; ++n) {
        const std::string visible = visible_name_beside(old_name, n);
        const auto moved = move_once(where, temporary, visible);
        if (moved.renamed()) {
            left_as = visible;
            break;
        }
        if (moved.outcome != rename_outcome::target_exists)
            break;
    }
    return {rename_outcome::left_aside, back.error, left_as};
}

// The new name exists, yet on a case-insensitive file system it may be the
// file's own name in another case. Inode numbers cannot tell (FUSE invents
// them), so the file is moved aside to a name that surely is free: if the new
// name vanished with it, it was the same entry and the file goes on to its
// new name; if it is still there, it is another entry and the file goes back.
rename_result move_through_temporary(const place& where, std::string_view from,
                                     std::string_view to)
{
    static std::atomic<unsigned> counter{0};
    std::string temporary;
    for (int attempt = 0;; ++attempt) {
        if (attempt == 100)
            return outcome_of(rename_outcome::system_refused, EEXIST);
        char name[64];
        std::snprintf(name, sizeof name, ".fennimo-%ld-%u", static_cast<long>(getpid()), counter++);
        temporary = name;
        const auto aside = move_once(where, from, temporary);
        if (aside.renamed())
            break;
        if (aside.outcome != rename_outcome::target_exists)
            return aside;
    }
    struct stat st {};
    if (look_at(where, to, st) == 0)
        return put_back(where, temporary, from, outcome_of(rename_outcome::target_exists, EEXIST));
    if (errno != ENOENT)
        return put_back(where, temporary, from, refusal(errno));
    const auto onward = move_once(where, temporary, to);
    if (onward.renamed())
        return onward;
    return put_back(where, temporary, from, onward);
}

} // namespace

std::string rename_result::error_text() const
{
    return error != 0 ? std::strerror(error) : std::string();
}

void name_list::sort()
{
    // A folder often lists in order already, or in reverse (a memory file
    // system gives its newest entries first, and a run renames in list
    // order); one look along the list then saves the sort.
    const std::size_t count = size();
    bool forward = true, backward = true;
    for (std::size_t i = 1; i < count && (forward || backward); ++i) {
        forward = forward && !list_order_less((*this)[i], (*this)[i - 1]);
        backward = backward && !list_order_less((*this)[i - 1], (*this)[i]);
    }
    if (forward)
        return;
    if (backward) {
        std::reverse(m_places.begin(), m_places.end());
        return;
    }
    // The names of one folder often share a long beginning ("IMG_2024…"):
    // the sort orders by the eight bytes past it, read as one number, and by
    // whole names only where those are equal. Sorting numbers by their
    // digits takes a few passes over the list and no comparisons, so a
    // hundred thousand names sort in a few milliseconds, short enough to
    // keep the window answering while a large folder is read.
    std::size_t common = (*this)[0].size();
    for (std::size_t i = 1; i < count && common > 0; ++i) {
        const std::string_view a = (*this)[0], b = (*this)[i];
        std::size_t k = 0;
        while (k < common && k < b.size() && a[k] == b[k])
            ++k;
        common = k;
    }
    struct keyed {
        std::uint64_t key;
        slot at;
    };
    std::vector<keyed> keys(count);
    for (std::size_t i = 0; i < count; ++i)
        keys[i] = {folded_key((*this)[i], common), m_places[i]};
    // By the keys, lowest digits first, each pass a count skipped where all
    // keys agree in that digit. A large folder takes sixteen bits a digit,
    // four passes; a small one eight bits, since clearing and summing 65,536
    // counts would cost it far more than its names do.
    const int digit_bits = count < 4096 ? 8 : 16;
    const std::uint64_t digit_mask = (std::uint64_t(1) << digit_bits) - 1;
    std::vector<keyed> spare(count);
    std::vector<std::size_t> starts(std::size_t(1) << digit_bits);
    for (int shift = 0; shift < 64; shift += digit_bits) {
        std::fill(starts.begin(), starts.end(), 0);
        for (const keyed& k : keys)
            ++starts[(k.key >> shift) & digit_mask];
        if (starts[(keys[0].key >> shift) & digit_mask] == count)
            continue;
        std::size_t at = 0;
        for (auto& start : starts)
            at += std::exchange(start, at);
        for (const keyed& k : keys)
            spare[starts[(k.key >> shift) & digit_mask]++] = k;
        keys.swap(spare);
    }
    // Then each run of equal keys by whole names.
    const auto name_at = [this](const slot& at) { return std::string_view(m_bytes.data() + at.start, at.length); };
    for (std::size_t first = 0; first < count;) {
        std::size_t last = first + 1;
        while (last < count && keys[last].key == keys[first].key)
            ++last;
        if (last - first > 1)
            std::sort(keys.begin() + std::ptrdiff_t(first), keys.begin() + std::ptrdiff_t(last),
                      [&](const keyed& a, const keyed& b) { return list_order_less(name_at(a.at), name_at(b.at)); });
        first = last;
    }
    for (std::size_t i = 0; i < count; ++i)
        m_places[i] = keys[i].at;
}

std::vector<std::string> name_list::to_strings() const
{
    return {begin(), end()};
}

bool list_order_less(std::string_view a, std::string_view b)
{
    const auto n = std::min(a.size(), b.size());
    // Names of one folder often share a long beginning: it is passed over
    // eight bytes at a time, since equal bytes are equal in any case.
    std::size_t i = 0;
    for (std::uint64_t x, y; i + 8 <= n; i += 8) {
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y)
            break;
    }
    for (; i < n; ++i) {
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

void set_file_call_hook(file_call_hook hook)
{
    call_hook() = std::move(hook);
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
    std::sort(drives.begin(), drives.end(), list_order_less);
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
    if (folder.back() == path_separator)
        return folder;
    return folder + path_separator;
}

// Whether the entry under the new name could be the file itself in another
// case: only then is the file moved aside to find out. An entry of another
// kind, size or modification time is surely another entry, and the file is
// left where it is rather than spend a moment under a hidden name for every
// ordinary collision.
bool may_be_one_entry(const place& where, const struct stat& file, std::string_view other_name)
{
    struct stat other {};
    if (look_at(where, other_name, other) != 0)
        return true;
    return (file.st_mode & S_IFMT) == (other.st_mode & S_IFMT) && file.st_size == other.st_size &&
           file.st_mtim.tv_sec == other.st_mtim.tv_sec && file.st_mtim.tv_nsec == other.st_mtim.tv_nsec;
}

rename_result rename_checked(const place& where, std::string_view old_name,
                             std::string_view new_name)
{
    if (!is_plain_name(old_name) || !is_plain_name(new_name))
        return outcome_of(rename_outcome::name_not_allowed);
    if (old_name == new_name)
        return outcome_of(rename_outcome::unchanged);
    // The list is a snapshot: whatever took a listed file's place since (a
    // folder above all) is not what the user chose to rename.
    struct stat st {};
    if (look_at(where, old_name, st) != 0)
        return refusal(errno);
    if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode))
        return outcome_of(rename_outcome::entry_gone);
    const auto result = move_once(where, old_name, new_name);
    if (result.outcome == rename_outcome::target_exists && may_be_one_entry(where, st, new_name))
        return move_through_temporary(where, old_name, new_name);
    return result;
}

// Splits two full paths into their one folder (up to and including the last
// separator) and two names; nothing when the folders differ.
struct split_paths {
    std::string prefix, old_name, new_name;
};

std::optional<split_paths> split_in_one_folder(const std::string& old_path, const std::string& new_path)
{
    const auto old_cut = old_path.rfind(path_separator);
    const auto new_cut = new_path.rfind(path_separator);
    if (old_cut == std::string::npos || new_cut == std::string::npos || old_cut != new_cut ||
        old_path.compare(0, old_cut + 1, new_path, 0, new_cut + 1) != 0)
        return std::nullopt;
    return split_paths{old_path.substr(0, old_cut + 1), old_path.substr(old_cut + 1),
                       new_path.substr(new_cut + 1)};
}

} // namespace

rename_result rename_no_replace(const std::string& old_path, const std::string& new_path)
{
    const auto split = split_in_one_folder(old_path, new_path);
    if (!split)
        return outcome_of(rename_outcome::name_not_allowed);
    return rename_checked({AT_FDCWD, split->prefix}, split->old_name, split->new_name);
}

open_folder::open_folder(const std::string& folder)
    : m_folder(folder),
      m_fd(folder.empty() ? -1 : open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
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
        // An empty path names no folder; taking it for the current one would
        // list one folder and, joined with a name, rename in another ("/").
        if (folder.empty())
            errno = ENOENT;
        else
            m_dir = opendir(folder.c_str());
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
            m_names.push_back(entry->d_name);
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
    closedir(std::exchange(m_dir, nullptr));
    m_names.sort();
    return std::move(m_names);
}

folder_reading open_folder::reading() const
{
    // A folder that could not be opened reads as one that cannot be read.
    return folder_reading(m_folder, false, m_fd >= 0 ? m_fd : -2);
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

std::optional<std::pair<dev_t, ino_t>> open_folder::identity() const
{
    struct stat st {};
    if (m_fd < 0 || fstat(m_fd, &st) != 0)
        return std::nullopt;
    return std::pair{st.st_dev, st.st_ino};
}

bool open_folder::holds(std::string_view name) const
{
    struct stat st {};
    return m_fd >= 0 && is_plain_name(name) && fstatat(m_fd, std::string(name).c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

rename_result open_folder::rename_no_replace(const std::string& folder, std::string_view old_name,
                                             std::string_view new_name) const
{
    if (m_fd >= 0 && folder == m_folder)
        return rename_checked({m_fd, {}}, old_name, new_name);
    const std::string prefix = folder.empty() ? std::string() : folder_prefix(folder);
    return platform::rename_no_replace(prefix + std::string(old_name), prefix + std::string(new_name));
}

rename_plan::rename_plan(const std::string& folder)
    : m_prefix(folder.empty() ? folder : folder_prefix(folder)),
      m_fd(folder.empty() ? -1 : open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
{
    if (m_fd < 0)
        m_write_error = folder.empty() ? ENOENT : errno;
    else if (faccessat(m_fd, ".", W_OK | X_OK, AT_EACCESS) != 0)
        m_write_error = errno;
}

rename_plan::~rename_plan()
{
    if (m_fd >= 0)
        close(m_fd);
}

bool rename_plan::look(const std::string& name, struct stat& st) const
{
    if (m_added.count(name)) {
        // Only files and links are ever planned to move.
        st = {};
        st.st_mode = S_IFREG;
        return true;
    }
    return !m_gone.count(name) && fstatat(m_fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0;
}

rename_result rename_plan::rename_no_replace(const std::string& old_path, const std::string& new_path)
{
    // The same questions in the same order as rename_checked, so that the
    // plan's answer is the run's.
    const auto split = split_in_one_folder(old_path, new_path);
    if (!split || split->prefix != m_prefix || !is_plain_name(split->old_name) ||
        !is_plain_name(split->new_name))
        return outcome_of(rename_outcome::name_not_allowed);
    const std::string& from = split->old_name;
    const std::string& to = split->new_name;
    if (from == to)
        return outcome_of(rename_outcome::unchanged);
    struct stat old_st {};
    if (!look(from, old_st))
        return outcome_of(rename_outcome::entry_gone, ENOENT);
    if (!S_ISREG(old_st.st_mode) && !S_ISLNK(old_st.st_mode))
        return outcome_of(rename_outcome::entry_gone);
    // A read-only file system refuses before any look at the new name; a
    // folder without write permission only once the name is found free.
    if (m_write_error != 0 && m_write_error != EACCES && m_write_error != EPERM)
        return refusal(m_write_error);
    struct stat new_st {};
    if (look(to, new_st)) {
        // The new name found as the file itself in another case: a
        // case-insensitive file system, where the run moves the file aside
        // and succeeds. A second hard link to the file has another name.
        const bool same_file = !m_added.count(from) && !m_added.count(to) && new_st.st_dev == old_st.st_dev &&
                               new_st.st_ino == old_st.st_ino && from.size() == to.size() &&
                               std::equal(from.begin(), from.end(), to.begin(), [](char a, char b) {
                                   return ascii_lower(static_cast<unsigned char>(a)) ==
                                          ascii_lower(static_cast<unsigned char>(b));
                               });
        if (!same_file)
            return outcome_of(rename_outcome::target_exists, EEXIST);
    }
    if (m_write_error != 0)
        return refusal(m_write_error);
    m_added.erase(from);
    m_gone.insert(from);
    m_gone.erase(to);
    m_added.insert(to);
    return outcome_of(rename_outcome::renamed);
}

} // namespace platform

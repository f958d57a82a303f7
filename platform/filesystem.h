#pragma once

// The file system as the renamer sees it. Names are the exact bytes the
// directory holds: Linux allows any byte string but '/' and NUL, and a name
// that is not valid UTF-8 must still be listed, matched and renamed exactly.
// Nothing here includes Qt.

#include "name_list.h"
#include "separator.h"

#include <dirent.h>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <unordered_set>
#include <utility>
#include <vector>

namespace platform {

// The order of a file list, which decides the index that a name pattern
// gives each file: ASCII letters compare without regard to case, every
// other byte by its value, and where two names are equal that way (such as
// "A.txt" and "a.txt") plain byte order decides. The order is total, so
// the same folder always lists the same way.
bool list_order_less(std::string_view a, std::string_view b);

// The files of a folder, sorted in list order: regular files and symbolic
// links (the link itself, whatever it points to). Names starting with '.' are
// hidden files and are not listed. Nothing when the folder cannot be read.
std::optional<std::vector<std::string>> list_files(const std::string& folder);

// The subfolders of a folder (links to folders included), sorted in list
// order, hidden ones left out. Nothing when the folder cannot be read.
std::optional<std::vector<std::string>> list_subfolders(const std::string& folder);

// The mount points of real file systems, "/" first, then the others in list
// order. Kernel and pseudo file systems (proc, sysfs, cgroup, ...) are left
// out because they hold nothing a user renames.
std::vector<std::string> list_drives();

// What became of one rename, decided where it happened, so that a run can
// tell the user exactly which files it could not rename and why.
enum class rename_outcome {
    renamed,         // the file now has its new name
    unchanged,       // the new name is the old one; nothing was done
    target_exists,   // another entry already has the new name; nothing was done
    name_not_allowed, // the new name is not a plain name of this folder; nothing was done
    entry_gone,      // the entry is gone or is no longer a file; nothing was done
    system_refused,  // the file system refused (see `error`); nothing was done
    left_aside,      // the file could be neither renamed nor put back (another
                     // program took its old name meanwhile): it now bears
                     // `left_as`, a visible name beside its old one
};

struct rename_result {
    rename_outcome outcome = rename_outcome::system_refused;
    // The errno of a refusal by the file system, or of the step that failed
    // when a file was left under a visible name; 0 otherwise.
    int error = 0;
    // The name, in the same folder, that a file left aside now bears.
    std::string left_as;

    bool renamed() const { return outcome == rename_outcome::renamed; }
    // The system's own words for `error`, for a report.
    std::string error_text() const;
    bool operator==(const rename_result&) const = default;
};

// Renames from two full paths, which must name entries of the same folder
// (compared byte for byte up to and including the last separator), never
// replacing an existing file and never moving anything out of the folder.
// Refused before any call: a name that is empty, ".", "..", holds '/' or NUL,
// or is longer than 255 bytes. Refused right before the call: an entry that
// is gone or is no longer a file or a link.
rename_result rename_no_replace(const std::string& old_path, const std::string& new_path);

bool is_plain_name(std::string_view name);

// The files (or the subfolders) of a folder, read a piece at a time, so that
// a large folder can be read with the message loop running between pieces.
class folder_reading {
public:
    // Through `open_fd` when the folder is held open already, else by its
    // path; a negative descriptor other than -1 reads nothing and fails.
    folder_reading(const std::string& folder, bool folders, int open_fd = -1);
    ~folder_reading();
    folder_reading(folder_reading&& other) noexcept;
    folder_reading(const folder_reading&) = delete;
    folder_reading& operator=(const folder_reading&) = delete;
    folder_reading& operator=(folder_reading&&) = delete;

    // Reads up to `count` more entries; true once the folder is read whole,
    // or cannot be read.
    bool read_some(std::size_t count);
    // Reads what is left; the names in list order, or nothing when the
    // folder could not be read.
    std::optional<name_list> finish();

private:
    DIR* m_dir = nullptr;
    bool m_folders;
    bool m_done = false;
    name_list m_names;
};

// A folder held open while it is listed, so that renames in it need no look-up
// of the folder's path and act on the very folder that was listed, even if
// it has been moved since. Renames in another folder fall back to the
// paths.
class open_folder {
public:
    open_folder() = default;
    explicit open_folder(const std::string& folder);
    ~open_folder();
    open_folder(open_folder&& other) noexcept;
    open_folder& operator=(open_folder&& other) noexcept;
    open_folder(const open_folder&) = delete;
    open_folder& operator=(const open_folder&) = delete;

    bool is_open() const { return m_fd >= 0; }
    const std::string& path() const { return m_folder; }
    // The folder's device and inode, which tell whether it is still the
    // folder some path once named; nothing when it is not open.
    std::optional<std::pair<dev_t, ino_t>> identity() const;
    // Whether the folder has an entry of that name (a link is not followed).
    bool holds(std::string_view name) const;
    // As list_files, read through the open folder, a piece at a time.
    folder_reading reading() const;
    // Renames the entry `old_name` of `folder` to `new_name`: through the
    // open folder when `folder` is the one held open, else by their paths.
    rename_result rename_no_replace(const std::string& folder, std::string_view old_name,
                                    std::string_view new_name) const;

private:
    std::string m_folder;
    int m_fd = -1;
};

// What rename_no_replace would answer, rename after rename, without
// renaming anything: a preview of a run. Each planned rename is remembered,
// so that a later one sees the folder as the earlier ones would have left
// it; about every other name the folder itself is asked. The plan holds
// while nothing else changes the folder. Refusals it cannot foresee (a file
// made immutable, a file system without hard links that refuses a step)
// are not in it.
class rename_plan {
public:
    explicit rename_plan(const std::string& folder);
    ~rename_plan();
    rename_plan(const rename_plan&) = delete;
    rename_plan& operator=(const rename_plan&) = delete;

    rename_result rename_no_replace(const std::string& old_path, const std::string& new_path);

private:
    // Whether the entry would be there, and if so its status.
    bool look(const std::string& name, struct ::stat& st) const;

    std::string m_prefix;
    int m_fd = -1;
    // Why the folder refuses every rename (EROFS, EACCES), or 0.
    int m_write_error = 0;
    std::unordered_set<std::string> m_gone, m_added;
};

} // namespace platform

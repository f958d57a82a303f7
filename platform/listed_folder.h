#pragma once

// A folder as a file list last read it: its path, its files in list order,
// and the folder itself held open, so that renames act on the very folder
// whose names were shown even if it has been moved since. The file list and
// the test window both keep one of these.

#include "folder_reading.h"
#include "rename.h"

#include <optional>
#include <sys/stat.h>
#include <utility>
#include <string>
#include <vector>

namespace platform {

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
    // The system's file calls on the folder's entries.
    system_calls calls() const { return system_calls(m_fd, {}); }
    // Renames the entry `old_name` of `folder` to `new_name`: through the
    // open folder when `folder` is the one held open, else by their paths.
    rename_result rename_no_replace(const std::string& folder, std::string_view old_name,
                                    std::string_view new_name) const;

private:
    std::string m_folder;
    int m_fd = -1;
};

class listed_folder {
public:
    listed_folder() = default;

    // Opens the folder and lists its files; nothing when either fails, so
    // that a caller keeps the folder it had.
    static std::optional<listed_folder> read(const std::string& folder);

    // The same a piece at a time: step() until it answers true, then finish().
    class reading {
    public:
        explicit reading(const std::string& folder);
        // Reads the next piece; true once the folder is read whole, or
        // cannot be read.
        bool step();
        // Reads what is left; nothing when the folder cannot be read.
        std::optional<listed_folder> finish();

    private:
        open_folder m_folder;
        folder_reading m_files;
    };

    const std::string& path() const { return m_folder.path(); }
    const name_list& entries() const { return m_entries; }

    rename_result rename(const std::string& folder, std::string_view old_name, std::string_view new_name) const
    {
        return m_folder.rename_no_replace(folder, old_name, new_name);
    }

private:
    open_folder m_folder;
    name_list m_entries;
};

} // namespace platform

#pragma once

// A folder as a file list last read it: its path, its files in list order,
// and the folder itself held open, so that renames act on the very folder
// whose names were shown even if it has been moved since. The file list and
// the test window both keep one of these.

#include "platform/filesystem.h"

#include <optional>
#include <string>
#include <vector>

namespace platform {

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

#pragma once

// A folder's files, or its subfolders, as the lists show them. Names are the
// exact bytes the directory holds: Linux allows any byte string but '/' and
// NUL, and a name that is not valid UTF-8 must still be listed, matched and
// renamed exactly.

#include "descriptors.h"
#include "file_calls.h"
#include "name_list.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace platform {

// The files of a folder, sorted in list order: regular files and symbolic
// links (the link itself, whatever it points to). Names starting with '.' are
// hidden files and are not listed. Nothing when the folder cannot be read.
std::optional<std::vector<std::string>> list_files(const std::string& folder,
                                                   const file_system& files = kernel_files());

// The subfolders of a folder (links to folders included), sorted in list
// order, hidden ones left out. Nothing when the folder cannot be read.
std::optional<std::vector<std::string>> list_subfolders(const std::string& folder,
                                                        const file_system& files = kernel_files());

// The files (or the subfolders) of a folder, read a piece at a time, so that
// a large folder can be read with the message loop running between pieces.
class folder_reading {
public:
    // Through `open_fd` when the folder is held open already, else by its
    // path; a negative descriptor other than -1 reads nothing and fails.
    folder_reading(const std::string& folder, bool folders, int open_fd = -1,
                   const file_system& files = kernel_files());
    folder_reading(folder_reading&& other) noexcept = default;
    folder_reading(const folder_reading&) = delete;
    folder_reading& operator=(const folder_reading&) = delete;
    folder_reading& operator=(folder_reading&&) = delete;

    // Reads up to `count` more entries; true once the folder is read whole,
    // or cannot be read.
    bool read_some(std::size_t count);
    // Reads what is left; the names in list order, or nothing when the
    // folder could not be read.
    std::optional<name_list> finish();
    // Every other entry read, hidden ones too: what a listed file's new name
    // could meet besides the listed files.
    name_list take_others() { return std::move(m_others); }

private:
    dir_stream m_dir;
    bool m_folders;
    bool m_done = false;
    name_list m_names;
    name_list m_others;
    // Whether the names came in list order, or in reverse, so far: found
    // out a piece at a time, which spares the sort a look along the whole
    // list at the end.
    bool m_forward = true, m_backward = true;
};

} // namespace platform

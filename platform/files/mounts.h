#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The places people keep files, as a desktop's file chooser shows them: "/"
// first, then home and the mounted media in list order. The kernel's own file systems,
// those in memory that programs use at run time, and whatever is mounted
// inside the system's trees hold nothing a person renames.
std::vector<std::string> list_drives();

// Whether the file system of `type` from `source`, mounted at
// `mount_point` (unescaped), is such a place: "/", the homes, removable and
// network media, and disks mounted anywhere outside the system's trees.
bool is_place_for_files(std::string_view mount_point, std::string_view type, std::string_view source);

} // namespace platform

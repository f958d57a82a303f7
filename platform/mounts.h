#pragma once

#include <string>
#include <vector>

namespace platform {

// The mount points of real file systems, "/" first, then the others in list
// order. Kernel and pseudo file systems (proc, sysfs, cgroup, ...) are left
// out because they hold nothing a user renames.
std::vector<std::string> list_drives();

} // namespace platform

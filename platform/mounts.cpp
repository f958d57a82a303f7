#include "mounts.h"
#include "list_order.h"

#include <algorithm>
#include <fstream>

namespace platform {

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

} // namespace platform

#include "mounts.h"
#include "list_order.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

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

// The kernel's views of itself, memory file systems, and the images and
// helpers that package managers and desktops mount for their own use.
constexpr std::array<std::string_view, 32> system_types = {
    "proc",       "sysfs",      "devpts",      "devtmpfs",   "cgroup",     "cgroup2",    "mqueue",
    "debugfs",    "tracefs",    "securityfs",  "pstore",     "bpf",        "autofs",     "configfs",
    "fusectl",    "hugetlbfs",  "binfmt_misc", "nsfs",       "rpc_pipefs", "efivarfs",   "selinuxfs",
    "tmpfs",      "ramfs",      "overlay",     "squashfs",   "nfsd",       "rootfs",     "fuse.gvfsd-fuse",
    "fuse.portal", "fuse.lxcfs", "fuse.snapfuse", "fuse.doc-portal",
};

// Trees that belong to the system; a mount inside one is the system's.
constexpr std::array<std::string_view, 16> system_trees = {
    "/proc", "/sys",     "/dev",     "/run",     "/var/run",  "/boot",    "/efi",      "/snap",
    "/tmp",  "/var/tmp", "/var/lib", "/var/log", "/var/cache", "/usr",    "/etc",      "/lost+found",
};

// Removable media are mounted for a user under here, inside /run.
constexpr std::string_view user_media = "/run/media/";

bool within(std::string_view path, std::string_view tree)
{
    return path == tree || (path.starts_with(tree) && path.size() > tree.size() && path[tree.size()] == '/');
}

} // namespace

bool is_place_for_files(std::string_view mount_point, std::string_view type, std::string_view source)
{
    if (mount_point == "/")
        return true;
    if (std::find(system_types.begin(), system_types.end(), type) != system_types.end())
        return false;
    // A file system with no device behind it, named after its own type
    // ("proc", "tmpfs"), is one the kernel made; a disk, a network share
    // ("host:/path") and a FUSE mount name their source.
    if (source == type || source == "none")
        return false;
    if (mount_point.starts_with(user_media) && mount_point.size() > user_media.size())
        return true;
    return std::none_of(system_trees.begin(), system_trees.end(),
                        [&](std::string_view tree) { return within(mount_point, tree); });
}

std::vector<std::string> list_drives()
{
    std::vector<std::string> drives;
    std::ifstream mounts("/proc/self/mounts");
    std::string device, path, type, rest;
    while (mounts >> device >> path >> type) {
        std::getline(mounts, rest);
        path = unescape_mount_path(path);
        if (!is_place_for_files(path, type, device))
            continue;
        if (path != "/" && std::find(drives.begin(), drives.end(), path) == drives.end())
            drives.push_back(path);
    }
    // Home is where a person keeps files, whatever it is mounted on, as a
    // file chooser's places list it.
    if (const char* home = std::getenv("HOME"); home && home[0] == '/' && std::string_view(home) != "/") {
        std::string folder = home;
        while (folder.size() > 1 && folder.back() == '/')
            folder.pop_back();
        struct stat st {};
        if (::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) &&
            std::find(drives.begin(), drives.end(), folder) == drives.end())
            drives.push_back(folder);
    }
    std::sort(drives.begin(), drives.end(), list_order_less);
    drives.insert(drives.begin(), "/");
    return drives;
}

} // namespace platform

#include "identity.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/vfs.h>

namespace platform {

namespace {

// The file system type FUSE mounts report.
constexpr unsigned long fuse_magic = 0x65735546;

} // namespace

std::optional<folder_identity> identity_of_folder(int fd)
{
    struct statx st {};
    if (fd < 0 || statx(fd, "", AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS | STATX_BTIME, &st) != 0)
        return std::nullopt;
    folder_identity identity;
    identity.device = makedev(st.stx_dev_major, st.stx_dev_minor);
    identity.inode = st.stx_ino;
    if (st.stx_mask & STATX_BTIME) {
        identity.birth_seconds = st.stx_btime.tv_sec;
        identity.birth_nanoseconds = st.stx_btime.tv_nsec;
    }
    // Where the file system keeps no generation, the call fails and 0 stays.
    int generation = 0;
    if (ioctl(fd, FS_IOC_GETVERSION, &generation) == 0)
        identity.generation = static_cast<std::uint32_t>(generation);
    return identity;
}

std::optional<file_found> find_file(int folder_fd, std::string_view name)
{
    struct stat st {};
    if (fstatat(folder_fd, std::string(name).c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0)
        return std::nullopt;
    return file_found{static_cast<std::uint64_t>(st.st_dev), static_cast<std::uint64_t>(st.st_ino),
                      static_cast<std::uint64_t>(st.st_size),
                      std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

bool inodes_unstable(int folder_fd)
{
    struct statfs fs {};
    return fstatfs(folder_fd, &fs) == 0 && static_cast<unsigned long>(fs.f_type) == fuse_magic;
}

} // namespace platform

#pragma once

// What a folder and a file are, as opposed to what they are called: the
// journal of a run names both by these, so that an undo acts on the very
// folder and files the run renamed and on nothing that has taken their
// names since.

#include <cstdint>
#include <optional>
#include <string_view>

namespace platform {

// A folder's identity: its device and inode, and what tells a folder made
// anew from the old one where those two repeat (ext4 gives a removed
// folder's inode to the next one made; a tmpfs mounted again gets the same
// device number and root inode): the birth time from statx, and the file
// system's generation number where the kernel gives one (ext4, xfs, btrfs).
// What it cannot tell apart: a folder on a file system that offers neither
// (FAT through FUSE, NFS, a FAT or ext4 whose folder was made at the same
// nanosecond as the old one), where device and inode repeat. A mount id is
// not part of it: it changes with every mount, a restart included, and a
// journal must outlive a restart.
struct folder_identity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t birth_seconds = 0;
    std::uint32_t birth_nanoseconds = 0;
    std::uint64_t generation = 0;
    bool operator==(const folder_identity&) const = default;
};

// The identity of the folder held open at `fd`; nothing when it cannot be
// read.
std::optional<folder_identity> identity_of_folder(int fd);

// A file as a look at it (the entry itself, never what a link points to)
// finds it.
struct file_found {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::uint64_t size = 0;
    std::int64_t modified_nanoseconds = 0;
};

// The entry `name` of the folder held at `folder_fd`; nothing when there is
// none (or it cannot be looked at).
std::optional<file_found> find_file(int folder_fd, std::string_view name);

// Whether the inode numbers of the folder's file system may change under a
// file that stays where it is: FUSE file systems that make them up per
// lookup or per mount (fusefat, exfat-fuse, sshfs). Files there are named by
// their size and modification time instead.
bool inodes_unstable(int folder_fd);

} // namespace platform

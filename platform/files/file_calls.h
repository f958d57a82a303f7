#pragma once

// The calls a rename makes on the entries of one folder, and the file system
// that answers them. The system answers them for a run, and a
// folder's image answers them for a plan, so that a plan takes the very
// steps the run will take. Nothing here includes Qt.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

enum class entry_type : std::uint8_t { file, link, folder, other };

struct listed_entry {
    std::string name;
    entry_type type;
};

// Each call answers 0, or the errno with which the kernel refused it.
class file_calls {
public:
    virtual ~file_calls() = default;

    // The entry itself, never what a link points to.
    virtual int look(std::string_view name, entry_type& type) = 0;
    virtual int rename_noreplace(std::string_view from, std::string_view to) = 0;
    virtual int link(std::string_view from, std::string_view to) = 0;
    virtual int unlink(std::string_view name) = 0;
    // Replaces what has the new name: only ever called once it was found free.
    virtual int plain_rename(std::string_view from, std::string_view to) = 0;
    // Every entry, hidden ones too, as a fresh read of the folder gives them.
    virtual int list(std::vector<listed_entry>& entries) = 0;
    // 0 when the folder's entries may be renamed; else why not (EROFS, EACCES).
    virtual int may_write() = 0;
    // Whether the entry is a file or a link that the kernel lets the caller
    // link wherever hard links exist: the caller's own, or any for root.
    // Protected hard links refuse another user's file with EPERM, the errno
    // a file system without links gives; this tells the two apart. A file
    // system that keeps no owners answers by the entry's type alone.
    virtual int may_link(std::string_view name, bool& allowed)
    {
        entry_type type{};
        const int error = look(name, type);
        allowed = error == 0 && (type == entry_type::file || type == entry_type::link);
        return error;
    }
    // False only where the file system is known to keep case, so that a
    // name in another case is surely another entry; true where it ignores
    // case or may (FUSE, network shares, anything not known).
    virtual bool may_ignore_case() { return true; }
};

// The system's calls, on names in a folder held open (`folder_fd`) or, with
// AT_FDCWD, on the names after `prefix`, a folder's path ending in its
// separator. The callers have checked that every name is a plain name of
// that one folder, so every call stays inside it.
class system_calls final : public file_calls {
public:
    system_calls(int folder_fd, std::string_view prefix) : m_fd(folder_fd), m_prefix(prefix) {}

    int look(std::string_view name, entry_type& type) override;
    int rename_noreplace(std::string_view from, std::string_view to) override;
    int link(std::string_view from, std::string_view to) override;
    int unlink(std::string_view name) override;
    int plain_rename(std::string_view from, std::string_view to) override;
    int list(std::vector<listed_entry>& entries) override;
    int may_write() override;
    int may_link(std::string_view name, bool& allowed) override;
    bool may_ignore_case() override;

private:
    int m_fd;
    std::string_view m_prefix;
};

// The file system that folders are opened on. Whoever opens a folder (a
// listing, a run, a plan's image, an undo) holds one, and every listing and
// every call on a folder's entries goes through it. The kernel's is
// everyone's unless another is given: a test gives one that stages what the
// kernel here cannot (a file system without RENAME_NOREPLACE or hard links,
// another program changing the folder between two calls, a folder that
// cannot be listed).
class file_system {
public:
    virtual ~file_system() = default;
    // The calls to make where the kernel's `system` calls on a folder's
    // entries would be made: those, or others of the file system's own.
    virtual file_calls& on(file_calls& system) const { return system; }
    // The calls one rename or plan makes through `calls` (the kernel's or an
    // image's): those, or others in front of them, which `room` then holds
    // for as long as the rename lasts.
    virtual file_calls& renaming(file_calls& calls, std::unique_ptr<file_calls>& room) const
    {
        (void)room;
        return calls;
    }
    // 0 when the folder may be listed; else the errno its listing fails with.
    virtual int refuses_listing(const std::string& folder) const
    {
        (void)folder;
        return 0;
    }
};

// The kernel's file system, which holds no state.
const file_system& kernel_files();

} // namespace platform

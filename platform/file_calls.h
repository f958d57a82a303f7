#pragma once

// The calls a rename makes on the entries of one folder, and the one place
// where a test steers them. The system answers them for a run, and a
// folder's image answers them for a plan, so that a plan takes the very
// steps the run will take. Nothing here includes Qt.

#include <cstdint>
#include <functional>
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

// ---- The test seam. Each hook is off in the program; reset_file_hooks()
// turns them all off again.

// Makes a folder unreadable even to root: while the hook answers true for a
// folder, listing it fails as if permission were denied.
void set_listing_fault_hook(std::function<bool(const std::string& folder)> hook);
bool listing_fails(const std::string& folder);

// Takes the path that file systems without RENAME_NOREPLACE take (NFS, some
// FUSE): every rename then goes by a hard link and an unlink.
void pretend_no_rename_noreplace(bool pretend);

// The file calls a rename makes, for the hook below.
enum class file_call { rename_noreplace, link, unlink, plain_rename, look, list, may_link };

// Stages what the kernel here cannot: a file system without hard links, or
// another program that changes the folder between two calls. Before each
// file call of a rename, or of a plan, the hook runs with the names the call
// takes; it may change the folder, and it answers 0 to let the call go on or
// an errno for the call to fail with. For may_link, an errno is what a
// link of that file would meet were links offered (EPERM: another user's
// file under protected hard links), and the call answers "not allowed".
using file_call_hook = std::function<int(file_call call, const std::string& from, const std::string& to)>;
void set_file_call_hook(file_call_hook hook);

// Puts a file system of the test's own in place of the system's, for every
// rename and every image of a folder: the function gets the system's calls
// and answers the calls to make instead (which may pass on to the system's).
using file_calls_stand_in = std::function<file_calls&(file_calls& system)>;
void set_file_calls_stand_in(file_calls_stand_in stand_in);

void reset_file_hooks();

// The calls to make on a folder: the system's, or a test's stand-in.
file_calls& system_or_stand_in(file_calls& system);

// The calls as the seam stages them: `calls` themselves while no test
// steers them, else the staged failures in front of them.
class staged_calls final : public file_calls {
public:
    explicit staged_calls(file_calls& inner) : m_inner(inner) {}
    static bool active();

    int look(std::string_view name, entry_type& type) override;
    int rename_noreplace(std::string_view from, std::string_view to) override;
    int link(std::string_view from, std::string_view to) override;
    int unlink(std::string_view name) override;
    int plain_rename(std::string_view from, std::string_view to) override;
    int list(std::vector<listed_entry>& entries) override;
    int may_write() override { return m_inner.may_write(); }
    int may_link(std::string_view name, bool& allowed) override;
    // What a test stages is a file system of its own making, over a folder
    // that keeps case: it may ignore case, as the kernel's may not.
    bool may_ignore_case() override { return true; }

private:
    file_calls& m_inner;
};

} // namespace platform

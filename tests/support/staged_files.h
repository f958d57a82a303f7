#pragma once

// A file system that stages what the kernel here cannot: a folder that
// cannot be listed even by root, a file system without RENAME_NOREPLACE or
// without hard links, another program that changes the folder between two
// calls, or a file system of the test's own in place of the kernel's. A
// test makes one, sets what it stages, and opens its folders on it.

#include "platform/files/file_calls.h"

#include <functional>
#include <memory>
#include <string>

namespace fixture {

// The file calls a rename makes, for the hook below.
enum class file_call { rename_noreplace, link, unlink, plain_rename, look, list, may_link };

// Runs before each file call of a rename, or of a plan, with the names the
// call takes; it may change the folder, and it answers 0 to let the call go
// on or an errno for the call to fail with. For may_link, an errno is what a
// link of that file would meet were links offered (EPERM: another user's
// file under protected hard links), and the call answers "not allowed".
using file_call_hook = std::function<int(file_call call, const std::string& from, const std::string& to)>;

class staged_files final : public platform::file_system {
public:
    // While it answers true for a folder, listing it fails as if permission
    // were denied.
    std::function<bool(const std::string& folder)> listing_fault;
    // Every rename then goes the way of file systems without
    // RENAME_NOREPLACE (NFS, some FUSE): by a hard link and an unlink.
    bool without_noreplace = false;
    file_call_hook call_hook;
    // Gets the kernel's calls on a folder and answers the calls to make
    // instead (which may pass on to the kernel's).
    std::function<platform::file_calls&(platform::file_calls& system)> stand_in;

    platform::file_calls& on(platform::file_calls& system) const override
    {
        return stand_in ? stand_in(system) : system;
    }
    platform::file_calls& renaming(platform::file_calls& calls,
                                   std::unique_ptr<platform::file_calls>& room) const override;
    int refuses_listing(const std::string& folder) const override;
    // Stages nothing again.
    void reset() { *this = staged_files(); }
};

} // namespace fixture

#pragma once

// Whether the kernel lets a file leave its name, for reasons that a listing
// of the folder does not show: the folder may be written, yet some of its
// files may not be moved. A plan asks, so that it refuses what the run will.

#include "descriptors.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace platform {

// A look at a file costs about as much as its rename. A plan that must be
// the run looks at every file it moves; a preview that must keep pace with
// typing looks only where the folder makes the owner decide (a sticky
// folder of another's), and misses an immutable or append-only file, which
// the run's report then names.
enum class file_looks { every_file, where_the_folder_asks };

class move_permission {
public:
    // The folder's own part is looked at once, here; each file's when it is
    // first asked about.
    move_permission(const std::string& folder, std::size_t files, file_looks looks);
    move_permission(const move_permission&) = delete;
    move_permission& operator=(const move_permission&) = delete;

    // 0, or EPERM for the listing's `file`-th entry, `name`, when the
    // kernel will refuse to move it: an immutable or append-only file; in a
    // sticky folder (as /tmp is), a file neither the user's nor the folder
    // owner's, unless the user is root; every file of an append-only
    // folder. The answer is kept, so the file is looked at once; several
    // threads may ask at once.
    int refusal(std::uint32_t file, std::string_view name);

private:
    bool may_not_move(std::string_view name) const;

    unique_fd m_fd;
    std::size_t m_files = 0;
    bool m_every_file = true;
    // FS_IOC_GETFLAGS has failed once here: the file system keeps no flags.
    mutable std::atomic<bool> m_no_flags{false};
    bool m_every_file_refused = false;
    // A sticky folder whose files this user may move only when they are his.
    bool m_owner_decides = false;
    uid_t m_user = 0;
    // Per file: 0 not yet looked at, 1 movable, 2 refused.
    std::unique_ptr<std::atomic<std::uint8_t>[]> m_known;
};

} // namespace platform

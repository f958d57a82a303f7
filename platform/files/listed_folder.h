#pragma once

// A folder as a file list last read it: its path, its files in list order,
// and the folder itself held open, so that renames act on the very folder
// whose names were shown even if it has been moved since. The file list and
// the test window both keep one of these.

#include "descriptors.h"
#include "folder_reading.h"
#include "folder_watch.h"
#include "identity.h"
#include "name_hash.h"
#include "rename.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <utility>
#include <string>
#include <unordered_set>
#include <vector>

namespace platform {

// A folder held open while it is listed, so that renames in it need no look-up
// of the folder's path and act on the very folder that was listed, even if
// it has been moved since. Renames in another folder fall back to the
// paths.
class open_folder {
public:
    open_folder() = default;
    // Opened on `files`, which every listing and rename in it then goes
    // through; it must outlive the folder held.
    explicit open_folder(const std::string& folder, const file_system& files = kernel_files());

    bool is_open() const { return m_fd.is_open(); }
    int descriptor() const { return m_fd.get(); }
    const std::string& path() const { return m_folder; }
    // What tells whether it is still the folder some path once named;
    // nothing when it is not open.
    std::optional<folder_identity> identity() const { return identity_of_folder(m_fd.get()); }
    // Whether the folder has an entry of that name (a link is not followed).
    bool holds(std::string_view name) const;
    // As list_files, read through the open folder, a piece at a time.
    folder_reading reading() const;
    // The system's file calls on the folder's entries.
    system_calls calls() const { return system_calls(m_fd.get(), {}); }
    // The file system the folder was opened on.
    const file_system& files() const { return *m_files; }
    // Renames the entry `old_name` of `folder` to `new_name`: through the
    // open folder when `folder` is the one held open, else by their paths.
    rename_result rename_no_replace(const std::string& folder, std::string_view old_name,
                                    std::string_view new_name, move_log* log = nullptr) const;
    // The same for a name its listing showed as a file or a link, through
    // the folder held open, without a look at it first.
    rename_result rename_listed(std::string_view old_name, std::string_view new_name, logged_as logged) const;

private:
    std::string m_folder;
    unique_fd m_fd;
    const file_system* m_files = &kernel_files();
    // How the file system here renames, learnt from its first refusal and
    // kept while the folder is held: it is the file system's, not a state of
    // the folder's, so a const rename may learn it.
    mutable rename_way m_way = rename_way::atomic;
};

class listed_folder {
public:
    listed_folder() = default;

    // Opens the folder and lists its files; nothing when either fails, so
    // that a caller keeps the folder it had. The folder is watched from
    // before its reading on: a list that nothing in the folder has changed
    // since is as good as one read as a run starts, and needs no check.
    static std::optional<listed_folder> read(const std::string& folder, const file_system& files = kernel_files());

    // The same a piece at a time: step() until it answers true, then finish().
    class reading {
    public:
        explicit reading(const std::string& folder, const file_system& files = kernel_files());
        // Reads the next piece; true once the folder is read whole, or
        // cannot be read.
        bool step();
        // Reads what is left; nothing when the folder cannot be read.
        std::optional<listed_folder> finish();

    private:
        open_folder m_folder;
        std::unique_ptr<folder_watch> m_watch;
        folder_reading m_files;
    };

    // A list made at a run's start is its own check: its names were files
    // or links as it read them. A list made before, which may be minutes
    // old, is checked once before its first rename, in one read of the
    // folder, a piece at a time like the reading: every listed name that
    // the folder no longer holds as a file or a link is then refused as
    // gone. The list itself stays as it was read.
    class checking {
    public:
        explicit checking(const listed_folder& listed);
        checking(const checking&) = delete;
        checking& operator=(const checking&) = delete;
        bool step();
        // Reads what is left and marks what is gone in `listed`, the list
        // the check began on. A folder that cannot be read marks nothing:
        // the kernel's own answers stand then, file by file.
        void finish(listed_folder& listed);

    private:
        bool read_some(std::size_t count);

        const name_list& m_entries;
        bool m_unchanged = false;
        dir_stream m_dir;
        bool m_failed = false;
        // The listed files in the order the folder gave them, which an
        // unchanged folder gives again: each entry read is compared with
        // the next of these only, and just what breaks that order is kept
        // aside by name.
        std::vector<std::uint32_t> m_order;
        std::size_t m_next = 0;
        std::vector<bool> m_there;
        std::unordered_set<std::string, name_hasher, std::equal_to<>> m_aside;
    };
    void check();

    const std::string& path() const { return m_folder.path(); }
    const name_list& entries() const { return m_entries; }
    bool gone(std::size_t index) const { return index < m_gone.size() && m_gone[index]; }

    // Renames the listed file at `index`, `old_name`, to `new_name`, as
    // its listing and the last check saw it: without a look at it first.
    // A name that is not the one listed there, or a folder that is not the
    // one held, is renamed as any other name is, looked at first.
    // Each move is told to `log` before it is made.
    rename_result rename(const std::string& folder, std::size_t index, std::string_view old_name,
                         std::string_view new_name, move_log* log = nullptr) const;
    // The folder the renames of `folder` go through: its descriptor, or -1
    // when they go by path.
    int held_for(const std::string& folder) const
    {
        return folder == path() && m_folder.is_open() ? m_folder.descriptor() : -1;
    }
    // The same, finding the name in the list.
    rename_result rename(const std::string& folder, std::string_view old_name, std::string_view new_name) const;

    // The order in which to rename the listed files, the folder's own, when
    // no rename can meet another: no new name is that of an entry of the
    // folder or another new name, without regard to case where the file
    // system may ignore it. `new_names` holds a new name for each listed
    // file, in list order; a file the run leaves as it is has its own name.
    // Nothing when renames might meet, whose outcomes then depend on the
    // order.
    std::optional<std::vector<std::uint32_t>> order_free(const name_list& new_names) const;

private:
    open_folder m_folder;
    name_list m_entries;
    // The folder's other entries when it was read.
    name_list m_others;
    std::vector<bool> m_gone;
    std::unique_ptr<folder_watch> m_watch;
};

} // namespace platform

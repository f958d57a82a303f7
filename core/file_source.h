#pragma once

// The files a run works on: a folder's list, and the renames in it. A
// folder on disk (folder_source), a plan over its image (planned_listing)
// and a window's file list each give one.

#include "platform/files/name_list.h"
#include "platform/files/rename.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace renamer {

// Work on a file list that goes a piece at a time, so that a run can leave
// it between two pieces, as between two files, for whoever drives the run
// to let the user work.
class list_work {
public:
    virtual ~list_work() = default;
    // Does the next piece; true once the work is over. Work dropped before
    // then is left undone.
    virtual bool step() = 0;
};

class file_source {
public:
    virtual ~file_source() = default;

    // The folder of the listed files, and the files, as bytes, in the list's
    // order. Nothing for an index that is no longer in the list, which
    // happens when the folder changes between two files of a run. The name
    // is the list's own and holds until the list next changes, which is
    // after the run's current file at the earliest.
    virtual const std::string& file_path() = 0;
    virtual std::int32_t list_count() = 0;
    virtual std::optional<std::string_view> list_entry(std::int32_t index) = 0;
    // Reads the folder again.
    virtual void refresh() = 0;
    // Checks a list made before the run against the folder, once, before
    // the run's first rename: a listed file that is gone, or is no longer a
    // file or a link, is then refused as gone. What the list shows stays.
    virtual void check_list() = 0;
    // The two as work a piece at a time. A source that does them at once
    // does them here and gives nothing to wait on.
    virtual std::unique_ptr<list_work> refreshing()
    {
        refresh();
        return nullptr;
    }
    virtual std::unique_ptr<list_work> checking_list()
    {
        check_list();
        return nullptr;
    }
    // Renames the file `old_name` of `folder`, the list's entry `index`, to
    // `new_name`, within the folder, never replacing a file, and says what
    // became of the file.
    virtual platform::rename_result rename_file(const std::string& folder, std::int32_t index,
                                                std::string_view old_name, std::string_view new_name) = 0;
    // The same, each move told to `log` before it is made, with the file's
    // inode as the listing gave it. A source that knows no more tells the
    // one move it asks for.
    virtual platform::rename_result rename_file_logged(const std::string& folder, std::int32_t index,
                                                       std::string_view old_name, std::string_view new_name,
                                                       platform::move_log& log)
    {
        log.moving(0, old_name, new_name);
        auto result = rename_file(folder, index, old_name, new_name);
        if (!result.renamed() && result.outcome != platform::rename_outcome::left_aside)
            log.not_moved();
        return result;
    }
    // The descriptor the renames of `folder` go through, whose identity the
    // journal records; -1 where they go by path.
    virtual int held_folder(const std::string& folder)
    {
        (void)folder;
        return -1;
    }
    // The order in which the listed files may be renamed instead of the
    // list's, the folder's own, which the file system renames faster in:
    // only where no rename can meet another, so that the order changes no
    // outcome. `new_names` has one name per listed file, its own for a file
    // the run leaves. Nothing keeps the list's order.
    virtual std::optional<std::vector<std::uint32_t>> order_free(const platform::name_list& new_names)
    {
        (void)new_names;
        return std::nullopt;
    }
    // A hint that the entry `index` is renamed soon, so that what the source
    // keeps of it can be fetched into the processor's cache ahead of its turn.
    virtual void coming(std::int32_t index) { (void)index; }
};

} // namespace renamer

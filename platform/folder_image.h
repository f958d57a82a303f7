#pragma once

// A folder as a run will meet it, taken from one listing: which names are
// files, links, folders or other entries, whether the file system ignores
// case, and whether the folder may be written. It answers the file calls of
// a rename as the kernel would there, so the plan of a run is the run's own
// algorithm taking the same steps over the image instead of the folder.
// What the image cannot see is not in the plan: another program's changes
// meanwhile, a file made immutable, a refusal of the file system's own.

#include "file_calls.h"
#include "rename.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace platform {

class folder_image final : public file_calls {
public:
    // Nothing when the folder cannot be read.
    static std::optional<folder_image> read(const std::string& folder);
    // The image of what `calls` list, asking them what else it needs to know.
    static std::optional<folder_image> take(file_calls& calls, const std::string& folder = {});

    const std::string& path() const { return m_folder; }
    bool ignores_case() const { return m_ignores_case; }

    // What renaming `old_name` to `new_name` will do, with every rename
    // planned before it done in the image: plan the renames in the run's
    // order, one file at a time.
    rename_result rename(std::string_view old_name, std::string_view new_name)
    {
        return rename_in(*this, old_name, new_name);
    }
    // The same for a name the run's listing showed as a file or a link,
    // which the run renames without looking at it again.
    rename_result rename_listed(std::string_view old_name, std::string_view new_name)
    {
        return platform::rename_listed(*this, old_name, new_name);
    }

    int look(std::string_view name, entry_type& type) override;
    int rename_noreplace(std::string_view from, std::string_view to) override;
    int link(std::string_view from, std::string_view to) override;
    int unlink(std::string_view name) override;
    int plain_rename(std::string_view from, std::string_view to) override;
    int list(std::vector<listed_entry>& entries) override;
    int may_write() override { return m_write_error; }

private:
    struct entry {
        entry_type type;
        // Two names of one file (hard links) share it.
        std::uint64_t file;
    };
    using entries = std::unordered_map<std::string, entry>;

    folder_image() = default;
    entries::iterator find(std::string_view name);
    void add(std::string_view name, entry e);
    void remove(entries::iterator at);
    // A refusal the kernel gives before it looks at any name (EROFS).
    int refused_outright() const;

    std::string m_folder;
    entries m_entries;
    // Where the file system ignores case: each name folded, to the name.
    std::unordered_map<std::string, std::string> m_by_fold;
    bool m_ignores_case = false;
    int m_write_error = 0;
};

} // namespace platform

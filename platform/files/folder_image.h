#pragma once

// A folder as a run will meet it, taken from one listing: which names are
// files, links, folders or other entries, whether the file system ignores
// case, and whether the folder may be written. It answers the file calls of
// a rename as the kernel would there, so the plan of a run is the run's own
// algorithm taking the same steps over the image instead of the folder.
// What the image cannot see is not in the plan: another program's changes
// meanwhile, a refusal of the file system's own. The files that the kernel
// will not let leave their names (move_permission) it asks about as a
// rename first moves them.

#include "file_calls.h"
#include "move_permission.h"
#include "rename.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

class folder_image final : public file_calls {
public:
    // Nothing when the folder cannot be read. `looks` says which files are
    // looked at for what the kernel refuses them (move_permission).
    // The folder is opened on `files`, and the plans over the image make
    // their calls through it as the run's do.
    static std::optional<folder_image> read(const std::string& folder,
                                            file_looks looks = file_looks::every_file,
                                            const file_system& files = kernel_files());
    // The image of what `calls` list, asking them what else it needs to know.
    static std::optional<folder_image> take(file_calls& calls, const std::string& folder = {},
                                            file_looks looks = file_looks::every_file,
                                            const file_system& files = kernel_files());

    const std::string& path() const { return m_folder; }
    bool ignores_case() const { return m_ignores_case; }

    // What renaming `old_name` to `new_name` will do, with every rename
    // planned before it done in the image: plan the renames in the run's
    // order, one file at a time.
    rename_result rename(std::string_view old_name, std::string_view new_name)
    {
        return rename_in(*this, old_name, new_name, m_way, {}, *m_files);
    }
    // The same for a name the run's listing showed as a file or a link,
    // which the run renames without looking at it again.
    rename_result rename_listed(std::string_view old_name, std::string_view new_name)
    {
        return platform::rename_listed(*this, old_name, new_name, m_way, {}, *m_files);
    }

    int look(std::string_view name, entry_type& type) override;
    int rename_noreplace(std::string_view from, std::string_view to) override;
    int link(std::string_view from, std::string_view to) override;
    int unlink(std::string_view name) override;
    int plain_rename(std::string_view from, std::string_view to) override;
    int list(std::vector<listed_entry>& entries) override;
    int may_write() override { return m_write_error; }
    bool may_ignore_case() override { return m_ignores_case; }

private:
    friend class kept_folder_image;

    // One name of the folder. A plan asks about every listed name a few
    // times, so the names sit end to end in one string and the table is one
    // array probed in place: a hundred thousand entries are a few
    // allocations to make, copy and free, not a hundred thousand.
    struct slot {
        // Where the table finds it: the name, or on a file system that
        // ignores case the name folded; then the name as it was given.
        std::uint32_t key_at, key_size, name_at, name_size;
        std::uint32_t hash;
        // Two names of one file (hard links) share it.
        std::uint32_t file;
        enum class state : std::uint8_t { free, held, freed } use = state::free;
        entry_type type;
    };
    static constexpr std::size_t none = ~std::size_t{0};

    folder_image() = default;
    std::string_view key(const slot& s) const { return {m_bytes.data() + s.key_at, s.key_size}; }
    std::string_view name(const slot& s) const { return {m_bytes.data() + s.name_at, s.name_size}; }
    // The slot holding the name, or none.
    std::size_t find(std::string_view name) const;
    // Under a name that is free.
    void add(std::string_view name, entry_type type, std::uint32_t file);
    void remove(std::size_t at);
    void make_room(std::size_t entries);
    // A refusal the kernel gives before it looks at any name (EROFS).
    int refused_outright() const;
    // Why the entry in the slot may not leave its name, for reasons of the
    // file's own; asked of the file by the name the listing gave it, which
    // a plan leaves it on disk.
    int refused_move(std::size_t at);

    std::string m_folder;
    std::string m_bytes;
    std::vector<slot> m_slots;
    std::size_t m_held = 0;
    std::size_t m_freed = 0;
    bool m_ignores_case = false;
    int m_write_error = 0;
    // Where each listed entry's name as listed is in m_bytes, and its size.
    std::vector<std::pair<std::uint32_t, std::uint32_t>> m_listed;
    // Shared by the copies of one image, so that each file is looked at once.
    std::shared_ptr<move_permission> m_moves;
    // The plan learns the way the run will take as the run does, file by file.
    rename_way m_way = rename_way::atomic;
    const file_system* m_files = &kernel_files();
};

class folder_watch;

// The image of one folder kept from one read to the next while nothing in
// the folder changes, so that plans made one after another (a preview
// following the user's typing) do not each read a large folder again.
class kept_folder_image {
public:
    // The folders are opened on `files`, which must outlive the kept image.
    explicit kept_folder_image(const file_system& files = kernel_files());
    ~kept_folder_image();
    kept_folder_image(const kept_folder_image&) = delete;
    kept_folder_image& operator=(const kept_folder_image&) = delete;

    // As folder_image::read: a copy of the image kept, while the path names
    // the folder it was read from and no entry there has changed since. It
    // serves a preview, which keeps pace with typing: it looks at files only
    // where the folder asks (file_looks::where_the_folder_asks).
    std::optional<folder_image> read(const std::string& folder);

private:
    std::optional<folder_image> m_image;
    std::uint64_t m_device = 0, m_inode = 0;
    std::unique_ptr<folder_watch> m_watch;
    const file_system& m_files;
};

} // namespace platform

#include "folder_image.h"
#include "case_fold.h"
#include "folder_watch.h"
#include "listed_folder.h"
#include "name_hash.h"

#include <cerrno>

namespace platform {

std::optional<folder_image> folder_image::read(const std::string& folder, file_looks looks, const file_system& files)
{
    const open_folder held(folder, files);
    if (!held.is_open())
        return std::nullopt;
    system_calls system = held.calls();
    return take(files.on(system), folder, looks, files);
}

std::optional<folder_image> folder_image::take(file_calls& calls, const std::string& folder, file_looks looks,
                                               const file_system& files)
{
    std::vector<listed_entry> listed;
    if (calls.list(listed) != 0)
        return std::nullopt;
    folder_image image;
    image.m_folder = folder;
    image.m_files = &files;
    image.m_write_error = calls.may_write();
    // Hard links are not told apart: each name is a file of its own. No
    // step of a rename depends on it but a plain rename onto a second name
    // of the file itself, which is only ever made onto a name found free.
    std::size_t bytes = 0;
    for (const auto& item : listed)
        bytes += item.name.size();
    const auto fill = [&] {
        image.m_slots.clear();
        image.m_bytes.clear();
        image.m_bytes.reserve(bytes * 2);
        image.m_held = image.m_freed = 0;
        image.make_room(listed.size());
        image.m_listed.clear();
        image.m_listed.reserve(listed.size());
        std::uint32_t file = 0;
        for (const auto& item : listed) {
            image.m_listed.emplace_back(static_cast<std::uint32_t>(image.m_bytes.size()),
                                        static_cast<std::uint32_t>(item.name.size()));
            // Two listed names that fold alike are one entry to a file
            // system that ignores case; the later is kept, as a later entry
            // replaces.
            if (const std::size_t there = image.m_ignores_case ? image.find(item.name) : none; there != none)
                image.remove(there);
            image.add(item.name, item.type, file++);
        }
    };
    fill();
    if (!folder.empty())
        image.m_moves = std::make_shared<move_permission>(folder, listed.size(), looks);
    // Whether the file system ignores case, asked once: by looking up a
    // listed name in another case that is not listed itself. A folder with
    // no name that has another case is taken as one that keeps case; no name
    // there can then meet another in another case either.
    for (const auto& item : listed) {
        const std::string other = in_other_case(item.name);
        if (other == item.name || image.find(other) != none)
            continue;
        entry_type type{};
        const int error = calls.look(other, type);
        if (error == 0) {
            image.m_ignores_case = true;
            fill();
        }
        if (error == 0 || error == ENOENT)
            break;
    }
    return image;
}

std::size_t folder_image::find(std::string_view name) const
{
    std::string folded;
    if (m_ignores_case) {
        folded = fold_case(name);
        name = folded;
    }
    const std::uint32_t hash = static_cast<std::uint32_t>(name_hash(name));
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
        const slot& s = m_slots[at];
        if (s.use == slot::state::free)
            return none;
        if (s.use == slot::state::held && s.hash == hash && key(s) == name)
            return at;
    }
}

void folder_image::add(std::string_view name, entry_type type, std::uint32_t file)
{
    make_room(m_held + 1);
    slot s;
    s.name_at = static_cast<std::uint32_t>(m_bytes.size());
    s.name_size = static_cast<std::uint32_t>(name.size());
    m_bytes.append(name);
    if (m_ignores_case) {
        const std::string folded = fold_case(name);
        s.key_at = static_cast<std::uint32_t>(m_bytes.size());
        s.key_size = static_cast<std::uint32_t>(folded.size());
        m_bytes.append(folded);
    } else {
        s.key_at = s.name_at;
        s.key_size = s.name_size;
    }
    s.hash = static_cast<std::uint32_t>(name_hash(key(s)));
    s.use = slot::state::held;
    s.type = type;
    s.file = file;
    const std::size_t mask = m_slots.size() - 1;
    std::size_t at = s.hash & mask;
    while (m_slots[at].use == slot::state::held)
        at = (at + 1) & mask;
    if (m_slots[at].use == slot::state::freed)
        --m_freed;
    m_slots[at] = s;
    ++m_held;
}

void folder_image::remove(std::size_t at)
{
    // A slot whose next is free ends no probe that goes on past it, so it
    // can be free again itself.
    const std::size_t mask = m_slots.size() - 1;
    if (m_slots[(at + 1) & mask].use == slot::state::free) {
        m_slots[at].use = slot::state::free;
    } else {
        m_slots[at].use = slot::state::freed;
        ++m_freed;
    }
    --m_held;
}

void folder_image::make_room(std::size_t entries)
{
    // At most seven slots in ten in use, counting those freed, so probes
    // stay short; a rename frees one slot and takes another.
    if ((m_held + m_freed + 1) * 10 <= m_slots.size() * 7 && entries * 10 <= m_slots.size() * 7)
        return;
    std::size_t size = 16;
    while (size < entries * 2)
        size *= 2;
    std::vector<slot> old = std::move(m_slots);
    m_slots.assign(size, slot{});
    m_freed = 0;
    const std::size_t mask = size - 1;
    for (const slot& s : old) {
        if (s.use != slot::state::held)
            continue;
        std::size_t at = s.hash & mask;
        while (m_slots[at].use == slot::state::held)
            at = (at + 1) & mask;
        m_slots[at] = s;
    }
}

int folder_image::refused_outright() const
{
    // Without write permission the kernel still looks at the names first; a
    // read-only file system refuses before it does.
    return m_write_error == EACCES || m_write_error == EPERM ? 0 : m_write_error;
}

int folder_image::refused_move(std::size_t at)
{
    const std::uint32_t file = m_slots[at].file;
    if (!m_moves || file >= m_listed.size())
        return 0;
    return m_moves->refusal(file, std::string_view(m_bytes).substr(m_listed[file].first, m_listed[file].second));
}

// The kernel's answers, in the order it finds them out. The file's own
// refusal comes once the folder's write permission has been checked, as
// the kernel checks whether an entry may be deleted from a folder.

int folder_image::look(std::string_view name, entry_type& type)
{
    const std::size_t at = find(name);
    if (at == none)
        return ENOENT;
    type = m_slots[at].type;
    return 0;
}

int folder_image::rename_noreplace(std::string_view from, std::string_view to)
{
    if (const int error = refused_outright())
        return error;
    const std::size_t at = find(from);
    if (at == none)
        return ENOENT;
    if (find(to) != none)
        return EEXIST;
    if (m_write_error)
        return m_write_error;
    if (const int error = refused_move(at))
        return error;
    const slot moved = m_slots[at];
    remove(at);
    add(to, moved.type, moved.file);
    return 0;
}

int folder_image::link(std::string_view from, std::string_view to)
{
    const std::size_t at = find(from);
    if (at == none)
        return ENOENT;
    if (const int error = refused_outright())
        return error;
    if (find(to) != none)
        return EEXIST;
    if (m_write_error)
        return m_write_error;
    if (m_slots[at].type == entry_type::folder)
        return EPERM;
    if (const int error = refused_move(at))
        return error;
    add(to, m_slots[at].type, m_slots[at].file);
    return 0;
}

int folder_image::unlink(std::string_view name)
{
    if (const int error = refused_outright())
        return error;
    const std::size_t at = find(name);
    if (at == none)
        return ENOENT;
    if (m_write_error)
        return m_write_error;
    if (m_slots[at].type == entry_type::folder)
        return EISDIR;
    if (const int error = refused_move(at))
        return error;
    remove(at);
    return 0;
}

int folder_image::plain_rename(std::string_view from, std::string_view to)
{
    if (const int error = refused_outright())
        return error;
    const std::size_t at = find(from);
    if (at == none)
        return ENOENT;
    const std::size_t target = find(to);
    const slot moved = m_slots[at];
    // Two names of one file: the kernel does nothing and says it did.
    if (target != none && m_slots[target].file == moved.file)
        return 0;
    if (m_write_error)
        return m_write_error;
    if (const int error = refused_move(at))
        return error;
    if (target != none) {
        if (m_slots[target].type == entry_type::folder)
            return moved.type == entry_type::folder ? ENOTEMPTY : EISDIR;
        if (moved.type == entry_type::folder)
            return ENOTDIR;
    }
    remove(at);
    if (target != none)
        remove(target);
    add(to, moved.type, moved.file);
    return 0;
}

int folder_image::list(std::vector<listed_entry>& out)
{
    out.clear();
    out.reserve(m_held);
    for (const slot& s : m_slots)
        if (s.use == slot::state::held)
            out.push_back({std::string(name(s)), s.type});
    return 0;
}

kept_folder_image::kept_folder_image(const file_system& files) : m_files(files) {}
kept_folder_image::~kept_folder_image() = default;

std::optional<folder_image> kept_folder_image::read(const std::string& folder)
{
    const open_folder held(folder, m_files);
    const auto identity = held.identity();
    if (!identity) {
        m_image.reset();
        return std::nullopt;
    }
    system_calls system = held.calls();
    file_calls& calls = m_files.on(system);
    if (m_image && m_image->path() == folder && identity->device == m_device && identity->inode == m_inode &&
        !m_watch->changed()) {
        folder_image copy = *m_image;
        // A file system remounted read-only tells no watch.
        copy.m_write_error = calls.may_write();
        return copy;
    }
    // Watched before it is read, so that what changes during the read is
    // seen next time.
    m_watch = std::make_unique<folder_watch>(held.descriptor());
    m_device = identity->device;
    m_inode = identity->inode;
    m_image = folder_image::take(calls, folder, file_looks::where_the_folder_asks, m_files);
    return m_image;
}

} // namespace platform

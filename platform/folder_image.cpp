#include "folder_image.h"
#include "case_fold.h"
#include "listed_folder.h"

#include <cerrno>

namespace platform {

namespace {

// Whether the file system ignores case, asked once: by looking up a listed
// name in another case that is not listed itself. A folder with no name
// that has another case is taken as one that keeps case; no name there can
// then meet another in another case either.
bool file_system_ignores_case(file_calls& calls, const std::vector<listed_entry>& listed,
                              const std::unordered_map<std::string, std::size_t>& names)
{
    for (const auto& item : listed) {
        const std::string other = in_other_case(item.name);
        if (other == item.name || names.count(other))
            continue;
        entry_type type{};
        const int error = calls.look(other, type);
        if (error == 0 || error == ENOENT)
            return error == 0;
    }
    return false;
}

} // namespace

std::optional<folder_image> folder_image::read(const std::string& folder)
{
    const open_folder held(folder);
    if (!held.is_open())
        return std::nullopt;
    system_calls system = held.calls();
    return take(system_or_stand_in(system), folder);
}

std::optional<folder_image> folder_image::take(file_calls& calls, const std::string& folder)
{
    std::vector<listed_entry> listed;
    if (calls.list(listed) != 0)
        return std::nullopt;
    folder_image image;
    image.m_folder = folder;
    image.m_write_error = calls.may_write();
    std::unordered_map<std::string, std::size_t> names;
    names.reserve(listed.size());
    for (std::size_t i = 0; i < listed.size(); ++i)
        names.emplace(listed[i].name, i);
    image.m_ignores_case = file_system_ignores_case(calls, listed, names);
    // Hard links are not told apart: each name is a file of its own. No
    // step of a rename depends on it but a plain rename onto a second name
    // of the file itself, which is only ever made onto a name found free.
    image.m_entries.reserve(listed.size());
    std::uint64_t file = 0;
    for (const auto& item : listed)
        image.add(item.name, {item.type, file++});
    return image;
}

folder_image::entries::iterator folder_image::find(std::string_view name)
{
    if (!m_ignores_case)
        return m_entries.find(std::string(name));
    const auto folded = m_by_fold.find(fold_case(name));
    return folded == m_by_fold.end() ? m_entries.end() : m_entries.find(folded->second);
}

void folder_image::add(std::string_view name, entry e)
{
    m_entries.insert_or_assign(std::string(name), e);
    if (m_ignores_case)
        m_by_fold.insert_or_assign(fold_case(name), std::string(name));
}

void folder_image::remove(entries::iterator at)
{
    if (m_ignores_case)
        m_by_fold.erase(fold_case(at->first));
    m_entries.erase(at);
}

int folder_image::refused_outright() const
{
    // Without write permission the kernel still looks at the names first; a
    // read-only file system refuses before it does.
    return m_write_error == EACCES || m_write_error == EPERM ? 0 : m_write_error;
}

// The kernel's answers, in the order it finds them out.

int folder_image::look(std::string_view name, entry_type& type)
{
    const auto at = find(name);
    if (at == m_entries.end())
        return ENOENT;
    type = at->second.type;
    return 0;
}

int folder_image::rename_noreplace(std::string_view from, std::string_view to)
{
    if (const int error = refused_outright())
        return error;
    const auto at = find(from);
    if (at == m_entries.end())
        return ENOENT;
    if (find(to) != m_entries.end())
        return EEXIST;
    if (m_write_error)
        return m_write_error;
    const entry moved = at->second;
    remove(at);
    add(to, moved);
    return 0;
}

int folder_image::link(std::string_view from, std::string_view to)
{
    const auto at = find(from);
    if (at == m_entries.end())
        return ENOENT;
    if (const int error = refused_outright())
        return error;
    if (find(to) != m_entries.end())
        return EEXIST;
    if (m_write_error)
        return m_write_error;
    if (at->second.type == entry_type::folder)
        return EPERM;
    add(to, at->second);
    return 0;
}

int folder_image::unlink(std::string_view name)
{
    if (const int error = refused_outright())
        return error;
    const auto at = find(name);
    if (at == m_entries.end())
        return ENOENT;
    if (m_write_error)
        return m_write_error;
    if (at->second.type == entry_type::folder)
        return EISDIR;
    remove(at);
    return 0;
}

int folder_image::plain_rename(std::string_view from, std::string_view to)
{
    if (const int error = refused_outright())
        return error;
    const auto at = find(from);
    if (at == m_entries.end())
        return ENOENT;
    const auto target = find(to);
    // Two names of one file: the kernel does nothing and says it did.
    if (target != m_entries.end() && target->second.file == at->second.file)
        return 0;
    if (m_write_error)
        return m_write_error;
    if (target != m_entries.end()) {
        if (target->second.type == entry_type::folder)
            return at->second.type == entry_type::folder ? ENOTEMPTY : EISDIR;
        if (at->second.type == entry_type::folder)
            return ENOTDIR;
    }
    const entry moved = at->second;
    remove(at);
    if (const auto replaced = find(to); replaced != m_entries.end())
        remove(replaced);
    add(to, moved);
    return 0;
}

int folder_image::list(std::vector<listed_entry>& out)
{
    out.clear();
    out.reserve(m_entries.size());
    for (const auto& [name, e] : m_entries)
        out.push_back({name, e.type});
    return 0;
}

} // namespace platform

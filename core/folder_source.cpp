#include "folder_source.h"

namespace renamer {

bool folder_source::open(const std::string& folder)
{
    auto listed = platform::listed_folder::read(folder, *m_files);
    if (!listed)
        return false;
    m_listed = std::move(*listed);
    return true;
}

std::optional<std::string_view> folder_source::list_entry(std::int32_t index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_listed.entries().size())
        return std::nullopt;
    return m_listed.entries()[static_cast<std::size_t>(index)];
}

void folder_source::refresh()
{
    const std::string folder = m_listed.path();
    open(folder);
}

platform::rename_result folder_source::rename_file(const std::string& folder, std::int32_t index,
                                                   std::string_view old_name, std::string_view new_name)
{
    return m_listed.rename(folder, static_cast<std::size_t>(index), old_name, new_name);
}

} // namespace renamer

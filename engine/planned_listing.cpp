#include "planned_listing.h"

#include "rules.h"

#include <utility>

namespace renamer {

planned_listing::planned_listing(std::string folder, const platform::name_list& names)
    : m_folder(std::move(folder)), m_names(names), m_plan(m_folder)
{
}

std::optional<std::string_view> planned_listing::list_entry(std::int32_t index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_names.size())
        return std::nullopt;
    return m_names[static_cast<std::size_t>(index)];
}

platform::rename_result planned_listing::rename_file(const std::string& folder, std::string_view old_name,
                                                     std::string_view new_name)
{
    return m_plan.rename_no_replace(join_path(folder, old_name), join_path(folder, new_name));
}

} // namespace renamer

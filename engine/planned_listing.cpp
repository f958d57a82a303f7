#include "planned_listing.h"

#include <utility>

namespace renamer {

planned_listing::planned_listing(std::string folder, const platform::name_list& names)
    : m_folder(std::move(folder)), m_names(names), m_image(platform::folder_image::read(m_folder))
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
    // Only the folder listed is planned; the run renames in no other.
    if (!m_image || folder != m_image->path())
        return {platform::rename_outcome::name_not_allowed, 0, {}};
    return m_image->rename(old_name, new_name);
}

} // namespace renamer

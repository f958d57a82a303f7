#include "planned_listing.h"

#include "platform/files/file_calls.h"
#include "platform/files/move_permission.h"

#include <utility>

namespace renamer {

planned_listing::planned_listing(std::string folder, const platform::name_list& names,
                                 const platform::file_system& files)
    : planned_listing(folder, names, platform::folder_image::read(folder, platform::file_looks::every_file, files))
{
}

planned_listing::planned_listing(std::string folder, const platform::name_list& names,
                                 std::optional<platform::folder_image> image)
    : m_folder(std::move(folder)), m_names(names), m_image(std::move(image))
{
}

std::optional<std::string_view> planned_listing::list_entry(std::int32_t index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_names.size())
        return std::nullopt;
    return m_names[static_cast<std::size_t>(index)];
}

void planned_listing::check_list()
{
    m_gone.assign(m_names.size(), false);
    if (!m_image)
        return;
    for (std::size_t i = 0; i < m_names.size(); ++i) {
        platform::entry_type type{};
        m_gone[i] = m_image->look(m_names[i], type) != 0 ||
                    (type != platform::entry_type::file && type != platform::entry_type::link);
    }
}

platform::rename_result planned_listing::rename_file(const std::string& folder, std::int32_t index, std::string_view old_name,
                                                     std::string_view new_name)
{
    // Only the folder listed is planned; the run renames in no other.
    if (!m_image || folder != m_image->path())
        return {platform::rename_outcome::name_not_allowed, 0, {}};
    if (index >= 0 && static_cast<std::size_t>(index) < m_gone.size() && m_gone[std::size_t(index)])
        return {platform::rename_outcome::entry_gone, 0, {}};
    // The names are the listing's, which the run trusts as the image does.
    return m_image->rename_listed(old_name, new_name);
}

} // namespace renamer

#include "listed_folder.h"

namespace platform {

std::optional<listed_folder> listed_folder::read(const std::string& folder)
{
    listed_folder listed;
    listed.m_folder = open_folder(folder);
    auto names = listed.m_folder.list_files();
    if (!names)
        return std::nullopt;
    listed.m_entries = std::move(*names);
    return listed;
}

} // namespace platform

#include "headless_window.h"

#include "rules.h"

#include "platform/filesystem.h"
#include "platform/message_loop.h"

namespace renamer {

headless_window::headless_window(std::string folder)
{
    if (!folder.empty())
        set_file_path(folder);
}

bool headless_window::set_file_path(const std::string& folder)
{
    auto files = platform::list_files(folder);
    if (!files)
        return false;
    m_folder = folder;
    m_entries = std::move(*files);
    return true;
}

std::optional<std::string> headless_window::list_entry(std::int32_t index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_entries.size())
        return std::nullopt;
    return m_entries[static_cast<std::size_t>(index)];
}

void headless_window::refresh()
{
    if (auto files = platform::list_files(m_folder))
        m_entries = std::move(*files);
}

void headless_window::append_line(text_id which, const std::string& line)
{
    append_list_line(m_texts[index_of(which)], line);
}

void headless_window::yield()
{
    platform::yield();
    if (on_yield)
        on_yield();
}

bool headless_window::rename_file(const std::string& old_path, const std::string& new_path)
{
    return platform::rename_no_replace(old_path, new_path) == platform::rename_result::renamed;
}

} // namespace renamer

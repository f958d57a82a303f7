#include "headless_window.h"

#include "renamer/browsing.h"
#include "renamer/rules.h"

#include "platform/message_box.h"
#include "platform/message_loop.h"
#include "widgets/shown_text.h"

namespace renamer {

headless_window::headless_window(std::string folder)
{
    if (!folder.empty())
        set_file_path(folder);
}

bool headless_window::set_file_path(const std::string& folder)
{
    auto listed = platform::listed_folder::read(folder);
    if (!listed)
        return false;
    m_listed = std::move(*listed);
    return true;
}

std::optional<std::string_view> headless_window::list_entry(std::int32_t index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_listed.entries().size())
        return std::nullopt;
    return m_listed.entries()[static_cast<std::size_t>(index)];
}

void headless_window::refresh()
{
    const std::string folder = m_listed.path();
    set_file_path(folder);
}

void headless_window::set_text(text_id which, const std::string& text)
{
    m_texts[index_of(which)] = text;
    // The result lists are no input; everything else is.
    if (which != text_id::Text1 && which != text_id::Text2)
        ++m_input_edits;
}

void headless_window::append_line(text_id which, std::string_view line)
{
    append_list_line(m_texts[index_of(which)], line);
    if (which != text_id::Text1 && which != text_id::Text2)
        ++m_input_edits;
}

void headless_window::yield()
{
    platform::yield();
    if (on_yield)
        on_yield();
}

platform::rename_result headless_window::rename_file(const std::string& folder, std::string_view old_name,
                                                     std::string_view new_name)
{
    return m_listed.rename(folder, old_name, new_name);
}

void headless_window::choose_drive(const std::string& drive)
{
    if (drive == m_drive)
        return;
    m_previous_drive = m_drive;
    m_drive = drive;
    drive1_change(*this);
}

bool headless_window::set_folder_path(const std::string& folder)
{
    if (!platform::list_subfolders(folder))
        return false;
    m_previous_dir = m_dir;
    m_dir = folder;
    dir1_change(*this);
    return true;
}

std::string headless_window::selected_text(text_id which)
{
    const auto [start, length] = m_selections[index_of(which)];
    const std::string& text = m_texts[index_of(which)];
    return start < text.size() ? text.substr(start, length) : std::string();
}

void headless_window::select_text(text_id which, std::size_t start, std::size_t length)
{
    m_selections[index_of(which)] = {start, length};
}

void headless_window::show_message(const std::string& text)
{
    platform::message_box(widgets::shown_text(text));
}

bool headless_window::ask_yes_no(const std::string& text)
{
    return platform::question_box(widgets::shown_text(text));
}

} // namespace renamer

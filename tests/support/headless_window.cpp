#include "headless_window.h"

#include "form/browsing.h"
#include "core/rules.h"

#include "platform/files/folder_reading.h"
#include "platform/toolkit/message_box.h"
#include "platform/toolkit/message_loop.h"
#include "widgets/shown_text.h"

namespace renamer {

headless_window::headless_window(const std::string& folder, const platform::file_system& files,
                                 platform::message_boxes& boxes)
    : m_files(files), m_boxes(boxes)
{
    if (!folder.empty())
        m_files.open(folder);
}

void headless_window::set_text(text_id which, const std::string& text)
{
    m_texts[index_of(which)] = text;
    // The result lists are no input; everything else is.
    if (which != text_id::Text1 && which != text_id::Text2)
        ++m_input_edits;
}

void headless_window::append_line(text_id which, std::initializer_list<std::string_view> pieces)
{
    append_list_line(m_texts[index_of(which)], pieces);
    if (which != text_id::Text1 && which != text_id::Text2)
        ++m_input_edits;
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
    const auto [start, length] = m_selections[static_cast<std::size_t>(which)];
    const std::string box = text(which);
    return start < box.size() ? box.substr(start, length) : std::string();
}

void headless_window::select_text(text_id which, std::size_t start, std::size_t length)
{
    m_selections[static_cast<std::size_t>(which)] = {start, length};
}

void headless_window::show_message(const std::string& text)
{
    m_boxes.message(widgets::shown_text(text), platform::application_title());
}

bool headless_window::ask_yes_no(const std::string& text)
{
    return m_boxes.question(widgets::shown_text(text), platform::application_title());
}

std::optional<run_outcomes> run_with(run_job job, const std::function<void()>& between)
{
    while (job.step())
        between();
    return job.take_result();
}

} // namespace renamer

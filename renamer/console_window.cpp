#include "console_window.h"

#include "rules.h"

#include <cstdio>

namespace renamer {

console_window::console_window(const std::string& folder)
{
    if (!folder.empty())
        set_file_path(folder);
}

bool console_window::set_file_path(const std::string& folder)
{
    auto listed = platform::listed_folder::read(folder);
    if (!listed)
        return false;
    m_listed = std::move(*listed);
    return true;
}

std::optional<std::string> console_window::list_entry(std::int32_t index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_listed.entries().size())
        return std::nullopt;
    return m_listed.entries()[static_cast<std::size_t>(index)];
}

void console_window::refresh()
{
    const std::string folder = m_listed.path();
    set_file_path(folder);
}

void console_window::append_line(text_id which, const std::string& line)
{
    append_list_line(m_texts[index_of(which)], line);
}

void console_window::yield()
{
    if (!on_progress)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - m_last_progress < std::chrono::milliseconds(100))
        return;
    m_last_progress = now;
    on_progress(run_index);
}

platform::rename_result console_window::rename_file(const std::string& old_path, const std::string& new_path)
{
    return m_listed.rename(old_path, new_path);
}

void console_window::show_message(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
}

bool console_window::ask_yes_no(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputs(" [y/N] ", stderr);
    std::fflush(stderr);
    char answer[16] = {};
    if (!std::fgets(answer, sizeof answer, stdin))
        return false;
    return answer[0] == 'y' || answer[0] == 'Y';
}

} // namespace renamer

#include "console_window.h"

#include "engine/journal.h"
#include "engine/rules.h"

#include <cstdio>
#include <unistd.h>

namespace renamer {

console_window::console_window(const std::string& folder) : m_progress_allowed(::isatty(STDERR_FILENO))
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

std::optional<std::string_view> console_window::list_entry(std::int32_t index)
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

void console_window::set_text(text_id which, const std::string& text)
{
    m_texts[index_of(which)] = text;
    // The result lists are no input; everything else is.
    if (which != text_id::Text1 && which != text_id::Text2)
        ++m_input_edits;
}

void console_window::append_line(text_id which, std::initializer_list<std::string_view> pieces)
{
    append_list_line(m_texts[index_of(which)], pieces);
    if (which != text_id::Text1 && which != text_id::Text2)
        ++m_input_edits;
}

void console_window::yield()
{
    if (!m_progress_allowed || !m_timer_enabled)
        return;
    // The bar's maximum is the last index of the pass.
    const long count = static_cast<long>(m_bar.max()) + 1;
    if (count <= 1000)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - m_last_progress < std::chrono::milliseconds(100))
        return;
    m_last_progress = now;
    std::fprintf(stderr, "\r已处理 %ld / %ld 个文件", static_cast<long>(run_index) + 1, count);
    std::fflush(stderr);
    m_progress_shown = true;
}

void console_window::clear_progress()
{
    if (!m_progress_shown)
        return;
    std::fputs("\r\033[K", stderr);
    m_progress_shown = false;
}

platform::rename_result console_window::rename_file(const std::string& folder, std::string_view old_name,
                                                    std::string_view new_name)
{
    return m_listed.rename(folder, old_name, new_name);
}

void console_window::show_message(const std::string& text)
{
    clear_progress();
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
}

bool console_window::ask_yes_no(const std::string& text)
{
    clear_progress();
    if (assume_yes)
        return true;
    if (!::isatty(STDIN_FILENO))
        return false;
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputs(" [y/N] ", stderr);
    std::fflush(stderr);
    char answer[16] = {};
    if (!std::fgets(answer, sizeof answer, stdin))
        return false;
    return answer[0] == 'y' || answer[0] == 'Y';
}


namespace {

// An empty view may hold no pointer at all, which fwrite must not be given.
void put(std::FILE* stream, std::string_view bytes)
{
    if (!bytes.empty())
        std::fwrite(bytes.data(), 1, bytes.size(), stream);
}

} // namespace

void console_window::write_name(std::FILE* stream, std::string_view name)
{
    put(stream, ::isatty(::fileno(stream)) ? escape_bytes(name) : name);
}

void console_window::print_rename(std::string_view old_name, std::string_view new_name, std::string_view reason)
{
    clear_progress();
    write_name(stdout, old_name);
    if (null_separated) {
        std::fputc('\0', stdout);
        write_name(stdout, new_name);
        std::fputc('\0', stdout);
        put(stdout, reason);
        std::fputc('\0', stdout);
        return;
    }
    std::fputs(" → ", stdout);
    write_name(stdout, new_name);
    if (!reason.empty()) {
        std::fputs("（", stdout);
        put(stdout, reason);
        std::fputs("）", stdout);
    }
    std::fputc('\n', stdout);
}

void console_window::report(const run_outcomes& outcomes, run_kind kind)
{
    for (const refusal& r : outcomes.refused)
        print_rename(r.old_name, shown_new_name(r), reason_text(r.result));
    std::fflush(stdout);
    show_message(summary_line(outcomes, kind));
    if (const std::string notes = journal_notes(outcomes, kind); !notes.empty())
        std::fwrite(notes.data(), 1, notes.size(), stderr);
}

} // namespace renamer

#include "console.h"

#include "engine/journal.h"
#include "engine/rules.h"

#include "platform/terminal.h"

#include <cstdio>
#include <unistd.h>

namespace renamer {

console::console() : m_progress_allowed(platform::is_terminal(STDERR_FILENO)) {}

bool console::set_bar_max(float max)
{
    m_count = static_cast<long>(max) + 1;
    return true;
}

void console::yield()
{
    if (!m_progress_allowed || !m_running)
        return;
    const long count = m_count;
    if (count <= 1000)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - m_last_progress < std::chrono::milliseconds(100))
        return;
    m_last_progress = now;
    std::fprintf(stderr, "\r已处理 %ld / %ld 个文件", static_cast<long>(m_index) + 1, count);
    std::fflush(stderr);
    m_progress_shown = true;
}

void console::clear_progress()
{
    if (!m_progress_shown)
        return;
    std::fputs("\r\033[K", stderr);
    m_progress_shown = false;
}

void console::show_message(const std::string& text)
{
    clear_progress();
    std::fwrite(text.data(), 1, text.size(), stderr);
    std::fputc('\n', stderr);
}

bool console::ask_yes_no(const std::string& text)
{
    clear_progress();
    if (assume_yes)
        return true;
    if (!platform::is_terminal(STDIN_FILENO))
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

void console::write_name(std::FILE* stream, std::string_view name)
{
    put(stream, platform::is_terminal(::fileno(stream)) ? escape_bytes(name) : name);
}

void console::print_rename(std::string_view old_name, std::string_view new_name, std::string_view reason)
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

void console::report(const run_outcomes& outcomes, run_kind kind)
{
    for (const refusal& r : outcomes.refused)
        print_rename(r.old_name, shown_new_name(r), reason_text(r.result, kind));
    std::fflush(stdout);
    show_message(summary_line(outcomes, kind));
    if (const std::string notes = journal_notes(outcomes, kind); !notes.empty())
        std::fwrite(notes.data(), 1, notes.size(), stderr);
}

} // namespace renamer

#include "console.h"

#include "core/journal.h"
#include "core/rules.h"

#include "platform/files/error_text.h"
#include "platform/files/terminal.h"

#include <cerrno>
#include <cstdio>
#include <unistd.h>

namespace renamer {

namespace {

// Why the standard output first refused a write, for the line that says so
// at the end: by then the error of a write into the buffer is long gone.
int output_error = 0;

void note_output_error()
{
    if (output_error == 0 && std::ferror(stdout))
        output_error = errno;
}

} // namespace

void console::flush(std::FILE* stream)
{
    std::fflush(stream);
    if (stream == stdout)
        note_output_error();
}

console::console() : m_progress_allowed(platform::is_terminal(STDERR_FILENO)) {}

void console::stop_if_interrupted()
{
    if (on_interrupt && platform::interrupt_watch::pending())
        on_interrupt();
}

void console::run_started(std::uint64_t total)
{
    (void)total;
    m_running = true;
    // A Ctrl+C while the folder was read stops the run before its first file.
    stop_if_interrupted();
}

void console::run_ended()
{
    // A Ctrl+C that came during the last file stops the run here, before
    // its report, as it would between two files.
    stop_if_interrupted();
    m_running = false;
}

void console::progress(std::uint64_t done, std::uint64_t total)
{
    stop_if_interrupted();
    if (!m_progress_allowed || !m_running || total <= 1000)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (now - m_last_progress < std::chrono::milliseconds(100))
        return;
    m_last_progress = now;
    std::fprintf(stderr, "\r已处理 %llu / %llu 个文件", static_cast<unsigned long long>(done),
                 static_cast<unsigned long long>(total));
    flush(stderr);
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
    flush(stderr);
    char answer[16] = {};
    m_declined = !std::fgets(answer, sizeof answer, stdin) || (answer[0] != 'y' && answer[0] != 'Y');
    return !m_declined;
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

std::string console::shown_name(std::FILE* stream, std::string_view name)
{
    return platform::is_terminal(::fileno(stream)) ? escape_bytes(name) : std::string(name);
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
        note_output_error();
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
    note_output_error();
}

void console::report(const run_outcomes& outcomes, run_kind kind)
{
    for (const refusal& r : outcomes.refused)
        print_rename(r.old_name, shown_new_name(r), reason_text(r.result, kind));
    flush(stdout);
    show_message(summary_line(outcomes, kind));
    if (const std::string notes = journal_notes(outcomes, kind); !notes.empty())
        std::fwrite(notes.data(), 1, notes.size(), stderr);
}

bool console::output_reached()
{
    flush(stdout);
    const bool out_reached = !std::ferror(stdout);
    if (!out_reached) {
        const int error = output_error;
        const std::string line =
            "无法写出标准输出" + (error ? "：" + platform::error_text(error) : std::string()) + "。\n";
        std::fwrite(line.data(), 1, line.size(), stderr);
    }
    return std::fflush(stderr) == 0 && !std::ferror(stderr) && out_reached;
}

} // namespace renamer

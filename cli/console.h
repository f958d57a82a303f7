#pragma once

// The terminal as a run's observer: what a window would show in a box goes
// to the standard error, every refusal to the standard output, and on a
// terminal a long run shows a progress line. The command line runs the
// window's own runs through it, so a rename from the command line is the
// same rename, file for file, as one from the window.

#include "core/run_observer.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <cstdio>

namespace renamer {

class console : public run_observer {
public:
    console();

    void run_started(std::uint64_t total) override;
    // Between two files. On a terminal, a progress line follows a run of
    // more than about a thousand files, at most ten times a second; anything
    // else the console prints clears it first. A pipe never gets one.
    void progress(std::uint64_t done, std::uint64_t total) override;
    void run_ended() override;
    // What happens between two files once Ctrl+C is pending
    // (platform::interrupt_watch): a run stops there. Nothing stops a plan.
    std::function<void()> on_interrupt;

    // On the standard error, as a box would show it.
    void show_message(const std::string& text) override;
    // Asks on the terminal; true for an answer that starts with y. With
    // assume_yes nobody is asked and the answer is yes; off a terminal, no.
    bool ask_yes_no(const std::string& text) override;
    bool assume_yes = false;
    // A question was asked and the answer was no.
    bool declined() const { return m_declined; }
    // Every refusal on the standard output, as print_rename writes it, in the
    // order the run met them; then the summary on the standard error.
    void report(const run_outcomes& outcomes, run_kind kind) override;

    // One rename, planned or refused, on the standard output: "old → new"
    // and, for a refusal, its reason in brackets, a line each; with
    // null_separated, old, new and the reason (empty for a rename) each end
    // in a NUL, for scripts.
    void print_rename(std::string_view old_name, std::string_view new_name, std::string_view reason = {});
    bool null_separated = false;

    // Names are written as their exact bytes, except to a terminal, where
    // control characters and bytes that are not UTF-8 are escaped so that a
    // name can never drive the terminal.
    static void write_name(std::FILE* stream, std::string_view name);
    // The name as write_name would write it to `stream`.
    static std::string shown_name(std::FILE* stream, std::string_view name);

    // Whether everything written to the standard output and error has
    // reached them; when the output has not, the standard error says so in
    // one line, where it still can.
    static bool output_reached();
    // Flushes a stream, noting why the standard output failed, if it did.
    static void flush(std::FILE* stream);

private:
    void clear_progress();
    void stop_if_interrupted();

    const bool m_progress_allowed;
    bool m_running = false;
    bool m_declined = false;
    bool m_progress_shown = false;
    std::chrono::steady_clock::time_point m_last_progress{};
};

} // namespace renamer

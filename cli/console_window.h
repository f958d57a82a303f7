#pragma once

// The main window's controls with no window at all: a folder on disk for
// File1, strings for the text boxes, flags for the option buttons, and the
// terminal for what a window would show in a box. The command line runs the
// window's own runs through it, so a rename from the command line is the
// same rename, file for file, as one from the window.

#include "engine/window_controls.h"

#include "platform/listed_folder.h"
#include "widgets/progress_range.h"

#include <array>
#include <chrono>
#include <cstdio>

namespace renamer {

class console_window : public window_controls {
public:
    explicit console_window(const std::string& folder = {});

    const std::string& file_path() override { return m_listed.path(); }
    // Like File1's Path: the list is read again. A folder that cannot be read
    // leaves the window as it was and answers false.
    bool set_file_path(const std::string& folder) override;
    std::int32_t list_count() override { return static_cast<std::int32_t>(m_listed.entries().size()); }
    std::optional<std::string_view> list_entry(std::int32_t index) override;
    void refresh() override;
    const platform::name_list& entries() const { return m_listed.entries(); }

    const std::string& text(text_id which) override { return m_texts[index_of(which)]; }
    void set_text(text_id which, const std::string& text) override;
    void append_line(text_id which, std::initializer_list<std::string_view> pieces) override;
    void reserve_text(text_id which, std::size_t bytes) override
    {
        m_texts[index_of(which)].reserve(m_texts[index_of(which)].size() + bytes);
    }
    std::uint64_t input_edits() override { return m_input_edits; }

    bool check_value(check_id which) override { return m_checks[static_cast<std::size_t>(which)]; }
    void set_check_value(check_id which, bool value) override { m_checks[static_cast<std::size_t>(which)] = value; }

    bool set_bar_max(float max) override { return m_bar.set_max(max); }
    bool set_bar_value(float value) override { return m_bar.set_value(value); }
    const widgets::progress_range& bar() const { return m_bar; }

    void set_timer_enabled(bool enabled) override { m_timer_enabled = enabled; }
    bool timer_enabled() const { return m_timer_enabled; }

    // Nothing waits on a message loop here. On a terminal, a yield lets a
    // progress line follow a run of more than about a thousand files, at
    // most ten times a second; anything else the console prints clears it
    // first. A pipe never gets one.
    void yield() override;

    platform::rename_result rename_file(const std::string& folder, std::string_view old_name,
                                        std::string_view new_name) override;

    // There are no drive and folder lists: the folder is File1's.
    std::string drive() override { return {}; }
    void revert_drive() override {}
    std::string folder_path() override { return file_path(); }
    bool set_folder_path(const std::string& folder) override { return set_file_path(folder); }
    void revert_folder() override {}
    std::string selected_text(text_id) override { return {}; }

    // On the standard error, as a box would show it.
    void show_message(const std::string& text) override;
    // Asks on the terminal; true for an answer that starts with y. With
    // assume_yes nobody is asked and the answer is yes; off a terminal, no.
    bool ask_yes_no(const std::string& text) override;
    bool assume_yes = false;
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

private:
    static std::size_t index_of(text_id which) { return static_cast<std::size_t>(which); }
    void clear_progress();

    platform::listed_folder m_listed;
    std::array<std::string, 8> m_texts{};
    std::array<bool, 3> m_checks{};
    std::uint64_t m_input_edits = 0;
    widgets::progress_range m_bar;
    bool m_timer_enabled = false;
    const bool m_progress_allowed;
    bool m_progress_shown = false;
    std::chrono::steady_clock::time_point m_last_progress{};
};

} // namespace renamer

#pragma once

// The console window with what tests add to it: a hook for whatever the user
// does while a run yields, Drive1 and Dir1 as plain paths whose changes run
// the browsing handlers, selections in the text boxes, and the platform's
// message box, which tests replace. Tests and the benchmark drive the runs
// through it exactly as the real window does.

#include "cli/console_window.h"

#include <functional>
#include <utility>

namespace renamer {

class headless_window : public console_window {
public:
    using console_window::console_window;

    // Runs the platform's yield, then the test's own hook if there is one,
    // which stands for whatever the user does while a run yields.
    void yield() override;
    std::function<void()> on_yield;

    // Drive1 and Dir1 as plain paths. Dir1's Change runs dir1_change, as the
    // real window's does.
    std::string drive() override { return m_drive; }
    void revert_drive() override { m_drive = m_previous_drive; }
    // A choice of drive by the user: raises Drive1's Change.
    void choose_drive(const std::string& drive);
    std::string folder_path() override { return m_dir; }
    bool set_folder_path(const std::string& folder) override;
    void revert_folder() override { m_dir = m_previous_dir; }

    // The selection is a range of bytes of the box's text.
    std::string selected_text(text_id which) override;
    void select_text(text_id which, std::size_t start, std::size_t length);

    // In boxes, as the window reports and asks.
    void show_message(const std::string& text) override;
    bool ask_yes_no(const std::string& text) override;
    void report(const run_outcomes& outcomes, run_kind kind) override { window_controls::report(outcomes, kind); }

private:
    std::string m_drive, m_previous_drive;
    std::string m_dir, m_previous_dir;
    std::array<std::pair<std::size_t, std::size_t>, 8> m_selections{};
};

} // namespace renamer

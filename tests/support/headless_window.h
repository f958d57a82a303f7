#pragma once

// The main window's controls with no widget at all: a folder on disk for
// File1, strings for the text boxes, flags for the option buttons, Drive1
// and Dir1 as plain paths whose changes run the browsing handlers, and the
// platform's message box, which tests replace. Tests and the benchmark drive the runs through
// it exactly as the real window does.

#include "core/folder_source.h"
#include "core/run_job.h"
#include "form/window_controls.h"

#include "platform/files/file_calls.h"
#include "platform/files/name_list.h"
#include "platform/files/rename.h"
#include "platform/toolkit/message_box.h"
#include "widgets/progress_range.h"

#include <array>
#include <functional>
#include <optional>
#include <utility>

namespace renamer {

class headless_window : public window_controls {
public:
    // Opens its folders on `files`, and reports and asks in `boxes`; both
    // must outlive the window.
    explicit headless_window(const std::string& folder = {},
                             const platform::file_system& files = platform::kernel_files(),
                             platform::message_boxes& boxes = platform::modal_boxes());
    headless_window(const std::string& folder, platform::message_boxes& boxes)
        : headless_window(folder, platform::kernel_files(), boxes)
    {
    }

    const std::string& file_path() override { return m_files.file_path(); }
    bool set_file_path(const std::string& folder) override { return m_files.open(folder); }
    std::int32_t list_count() override { return m_files.list_count(); }
    std::optional<std::string_view> list_entry(std::int32_t index) override { return m_files.list_entry(index); }
    void refresh() override { m_files.refresh(); }
    void check_list() override { m_files.check_list(); }
    platform::rename_result rename_file(const std::string& folder, std::int32_t index, std::string_view old_name,
                                        std::string_view new_name) override
    {
        return m_files.rename_file(folder, index, old_name, new_name);
    }
    platform::rename_result rename_file_logged(const std::string& folder, std::int32_t index,
                                               std::string_view old_name, std::string_view new_name,
                                               platform::move_log& log) override
    {
        return m_files.rename_file_logged(folder, index, old_name, new_name, log);
    }
    int held_folder(const std::string& folder) override { return m_files.held_folder(folder); }
    const platform::file_system& file_system() override { return m_files.file_system(); }
    const platform::name_list& entries() const { return m_files.entries(); }

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

private:
    static std::size_t index_of(text_id which) { return static_cast<std::size_t>(which); }

    folder_source m_files;
    platform::message_boxes& m_boxes;
    std::array<std::string, 8> m_texts{};
    std::array<bool, 3> m_checks{};
    std::uint64_t m_input_edits = 0;
    widgets::progress_range m_bar;
    bool m_timer_enabled = false;
    std::string m_drive, m_previous_drive;
    std::string m_dir, m_previous_dir;
    std::array<std::pair<std::size_t, std::size_t>, 8> m_selections{};
};

// Runs `job` to its end, calling `between` after each of its files, as a
// window's loop lets the user work there.
std::optional<run_outcomes> run_with(run_job job, const std::function<void()>& between);

} // namespace renamer

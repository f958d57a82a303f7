#pragma once

// The window interface over the platform's standard controls: the lists,
// the text boxes, the pattern box, the bar and the timer. Both real windows
// share it: the plain widget window and the skinned main window. Each
// window creates the controls itself, in its own order and containers,
// through the make_ functions below, then calls wire_handlers(); the option
// buttons are the window's own kind, so their Value is left to it.

#include "form/window_controls.h"

#include "widgets/combo_box.h"
#include "widgets/drive_list.h"
#include "widgets/file_list.h"
#include "widgets/folder_list.h"
#include "platform/files/file_calls.h"
#include "platform/files/rename.h"
#include "platform/toolkit/message_box.h"
#include "platform/toolkit/message_loop.h"
#include "widgets/progress_bar.h"
#include "widgets/text_box.h"

#include <QWidget>
#include <array>
#include <initializer_list>
#include <optional>
#include <vector>

namespace renamer {

// Places a control by its rectangle in twips within its container.
void place_twips(QWidget* control, int left, int top, int width, int height);

// The folder a window opens on: the given one, or the current folder when
// none is given.
std::string start_folder(const std::string& folder);

// The interface's own font, which every control writes in unless it says
// otherwise.
QFont interface_font(double points = 10.5);

class widget_controls : public window_controls {
public:
    const std::string& file_path() override { return File1().Path(); }
    std::int32_t list_count() override { return File1().ListCount(); }
    std::optional<std::string_view> list_entry(std::int32_t index) override;
    void refresh() override { File1().Refresh(); }
    // A large folder is read, and checked before a run, a piece at each step
    // of the run, so that the window answers meanwhile as between files.
    std::unique_ptr<list_work> refreshing() override;
    std::unique_ptr<list_work> checking_list() override;
    bool set_file_path(const std::string& folder) override { return File1().set_path(folder); }

    const std::string& text(text_id which) override;
    void set_text(text_id which, const std::string& text) override;
    void append_line(text_id which, std::initializer_list<std::string_view> pieces) override;
    void reserve_text(text_id which, std::size_t bytes) override;
    std::uint64_t input_edits() override;
    std::string selected_text(text_id which) override;

    bool set_bar_max(float max) override { return m_ppbb->set_max(max); }
    bool set_bar_value(float value) override { return m_ppbb->set_value(value); }
    // Only the runs switch the progress timer, so it also marks a run: the
    // text boxes keep their lists off the screen until the run is over.
    void set_timer_enabled(bool enabled) override;

    void check_list() override { File1().check(); }
    platform::rename_result rename_file(const std::string& folder, std::int32_t index, std::string_view old_name,
                                        std::string_view new_name) override;
    platform::rename_result rename_file_logged(const std::string& folder, std::int32_t index,
                                               std::string_view old_name, std::string_view new_name,
                                               platform::move_log& log) override;
    int held_folder(const std::string& folder) override { return File1().held_folder(folder); }
    const platform::file_system& file_system() override { return m_files; }

    std::string drive() override { return Drive1().Drive(); }
    void revert_drive() override { Drive1().revert_change(); }
    std::string folder_path() override { return Dir1().Path(); }
    bool set_folder_path(const std::string& folder) override { return Dir1().set_path(folder); }
    void revert_folder() override { Dir1().revert_change(); }

    // Both return when the box is closed, and give the focus back to the
    // control that had it.
    void show_message(const std::string& text) override;
    bool ask_yes_no(const std::string& text) override;

    // The three lists as the user finds them: with the start folder opened.
    widgets::drive_list& Drive1() { return opened(*m_Drive1); }
    widgets::folder_list& Dir1() { return opened(*m_Dir1); }
    widgets::file_list& File1() { return opened(*m_File1); }
    widgets::text_box& text_box(text_id which) { return *m_texts[static_cast<std::size_t>(which)]; }
    widgets::combo_box& Combo1() { return *m_Combo1; }
    widgets::progress_bar& ppbb() { return *m_ppbb; }
    platform::timer& Timer1() { return *m_Timer1; }

    // Shows every text box's model now.
    void flush_texts();

    // Combo1's LostFocus comes from inside a focus change, where a modal box
    // would take the release of the click that moved the focus; its rule runs
    // at the next turn of the loop. A run that a click starts meanwhile runs
    // it first, and so never sees a pattern the rule is about to refuse.
    void settle_pattern_rule();
    void pattern_rule_due() { m_pattern_rule_due = true; }

protected:
    // The lists open their folders on `files`, and the window reports and
    // asks in `boxes`; both must outlive the window.
    explicit widget_controls(QWidget& window, const platform::file_system& files = platform::kernel_files(),
                             platform::message_boxes& boxes = platform::modal_boxes())
        : m_window(window), m_files(files), m_boxes(boxes)
    {
    }

    // Drive1 opens on the start folder's drive; Dir1 and File1 follow it
    // once all three exist (open_folder).
    widgets::drive_list* make_Drive1(const std::string& start, QWidget* parent);
    widgets::folder_list* make_Dir1(QWidget* parent);
    widgets::file_list* make_File1(QWidget* parent);
    // A start folder that cannot be read leaves the window on its drive.
    void open_folder(const std::string& start);
    // The same once `first` has been painted, so that the window's first
    // frame does not wait for a large folder to be read. Until then the
    // lists look empty, and anything that reads or changes them, a click
    // that came early included, opens the folder first and so acts on the
    // full list.
    void open_folder_after_painting(const std::string& start, QWidget& first);
    // Text1 and Text2 are lists with a scroll bar; the others one line.
    widgets::text_box* make_text(text_id which, QWidget* parent);
    // With its design-time items, text and tool tip.
    widgets::combo_box* make_Combo1(QWidget* parent);
    widgets::progress_bar* make_ppbb(QWidget* parent);
    platform::timer* make_Timer1();

    // Binds the handlers of the standard controls; the option buttons are
    // bound by the window that made them.
    void wire_handlers();

    // Links the tab chain first to last; Tab and Shift+Tab then go round
    // these controls alone (move_focus), whatever else could take the focus.
    void chain_tab_order(std::initializer_list<QWidget*> order);
    // The next or previous control of the tab order that can take the focus,
    // wrapping at either end, focused; false when there is none. From a
    // control outside the order, Tab goes to the first and Shift+Tab to the
    // last.
    bool move_focus(bool next);

private:
    // Shows a box through `show` and gives the user back where they were.
    template <typename Show>
    auto keeping_focus(Show show);
    template <class List>
    List& opened(List& list)
    {
        if (m_start_pending)
            open_pending_folder();
        return list;
    }
    void open_pending_folder();

    QWidget& m_window;
    const platform::file_system& m_files;
    platform::message_boxes& m_boxes;
    std::optional<std::string> m_start_pending;
    widgets::drive_list* m_Drive1 = nullptr;
    widgets::folder_list* m_Dir1 = nullptr;
    widgets::file_list* m_File1 = nullptr;
    // Text1 to Text6, then zztt, in text_id order.
    std::array<widgets::text_box*, 7> m_texts{};
    widgets::combo_box* m_Combo1 = nullptr;
    widgets::progress_bar* m_ppbb = nullptr;
    bool m_pattern_rule_due = false;
    // The controls that take the focus in the tab order, first to last.
    std::vector<QWidget*> m_tab_order;
    platform::timer* m_Timer1 = nullptr;
};

} // namespace renamer

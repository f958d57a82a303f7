#pragma once

// The main window's controls as real widgets, wired to the runs' and the
// browsing handlers' window interface. The skinned main window builds on it;
// here the controls stand at their places on a plain surface.

#include "window_controls.h"

#include "platform/combo_box.h"
#include "platform/drive_list.h"
#include "platform/file_list.h"
#include "platform/folder_list.h"
#include "platform/message_loop.h"
#include "platform/progress_bar.h"
#include "platform/text_box.h"

#include <QWidget>
#include <array>
#include <functional>

namespace renamer {

// A plain option button until the skinned one takes its place. Like that
// one, it raises Click before its Value changes, and its host keeps the
// group exclusive.
class option_stand_in : public QWidget {
    Q_OBJECT
public:
    explicit option_stand_in(const QString& caption, QWidget* parent = nullptr);

    bool Value() const { return m_value; }
    void set_value(bool value);

    // Raised first; the host then selects this button.
    std::function<void()> on_click;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString m_caption;
    bool m_value = false;
};

class widget_window : public QWidget, public window_controls {
    Q_OBJECT
public:
    // Starts on `folder` (the current folder when empty), with both lists
    // empty, as the window opens.
    explicit widget_window(const std::string& folder = {}, QWidget* parent = nullptr);

    std::string file_path() override { return m_File1->Path(); }
    std::int32_t list_count() override { return m_File1->ListCount(); }
    std::optional<std::string> list_entry(std::int32_t index) override;
    void refresh() override { m_File1->Refresh(); }
    bool set_file_path(const std::string& folder) override { return m_File1->set_path(folder); }

    std::string text(text_id which) override;
    void set_text(text_id which, const std::string& text) override;
    void append_line(text_id which, const std::string& line) override;
    std::string selected_text(text_id which) override;

    bool check_value(check_id which) override { return option(which).Value(); }
    void set_check_value(check_id which, bool value) override;

    bool set_bar_max(float max) override { return m_ppbb->set_max(max); }
    bool set_bar_value(float value) override { return m_ppbb->set_value(value); }
    // Only the runs switch the progress timer, so it also marks a run: the
    // text boxes keep their lists off the screen until the run is over.
    void set_timer_enabled(bool enabled) override;

    void yield() override;
    bool rename_file(const std::string& old_path, const std::string& new_path) override;

    std::string drive() override { return m_Drive1->Drive(); }
    void revert_drive() override { m_Drive1->revert_change(); }
    std::string folder_path() override { return m_Dir1->Path(); }
    bool set_folder_path(const std::string& folder) override { return m_Dir1->set_path(folder); }
    void revert_folder() override { m_Dir1->revert_change(); }

    // Returns the focus to the control that had it once the box is closed.
    void show_message(const std::string& text) override;

    platform::drive_list& Drive1() { return *m_Drive1; }
    platform::folder_list& Dir1() { return *m_Dir1; }
    platform::file_list& File1() { return *m_File1; }
    platform::text_box& text_box(text_id which);
    platform::combo_box& Combo1() { return *m_Combo1; }
    option_stand_in& option(check_id which) { return *m_checks[static_cast<std::size_t>(which)]; }
    platform::progress_bar& ppbb() { return *m_ppbb; }
    platform::timer& Timer1() { return *m_Timer1; }

    // Shows every text box's model now.
    void flush_texts();

private:
    void select_option(check_id which);

    platform::drive_list* m_Drive1;
    platform::folder_list* m_Dir1;
    platform::file_list* m_File1;
    // Text1 to Text6, then zztt, in text_id order.
    std::array<platform::text_box*, 7> m_texts{};
    platform::combo_box* m_Combo1;
    std::array<option_stand_in*, 3> m_checks{};
    platform::progress_bar* m_ppbb;
    platform::timer* m_Timer1;
};

} // namespace renamer

#pragma once

// The main window's standard controls at their places on a plain surface,
// with plain option buttons: the window interface over real widgets without
// the skinned look, which tests and the browsing benchmark drive.

#include "app/widget_controls.h"

#include "platform/files/file_calls.h"
#include "platform/toolkit/message_box.h"

#include <QWidget>
#include <array>
#include <functional>

namespace renamer {

// The plain window's option button. Like the skinned one, it raises Click
// before its Value changes; here the host keeps the group exclusive.
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

class widget_window : public QWidget, public widget_controls {
    Q_OBJECT
public:
    // Starts on `folder` (the current folder when empty), with both lists
    // empty, as the window opens; its lists open their folders on `files`,
    // and it reports and asks in `boxes`.
    explicit widget_window(const std::string& folder = {},
                           const platform::file_system& files = platform::kernel_files(),
                           platform::message_boxes& boxes = platform::modal_boxes(), QWidget* parent = nullptr);

    bool check_value(check_id which) override { return option(which).Value(); }
    void set_check_value(check_id which, bool value) override;

    option_stand_in& option(check_id which) { return *m_checks[static_cast<std::size_t>(which)]; }

private:
    void select_option(check_id which);

    std::array<option_stand_in*, 3> m_checks{};
};

} // namespace renamer

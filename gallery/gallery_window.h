#pragma once

// The gallery: every control of the library in every face and state, on a
// window drawn by the library's own frame. A row per control (the push
// button, the check box, the option button, the four caption buttons, the
// caption help button, the group box), a column per state: normal, hovered,
// pressed, checked, disabled, focused; a state a control does not have is
// left empty. A second, small window stays inactive, so that the frame
// shows both its looks.
//
// The faces are posed by the same mouse reports the user's pointer would
// give, with the control's hover poll stopped so the face stays while the
// pointer is elsewhere. Moving the real pointer over a control brings it
// back to life.

#include "frame/xp_canvas.h"

#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>
#include <vector>

namespace gallery {

// The states, in column order.
inline const QStringList state_names = {"normal", "hovered", "pressed", "checked", "disabled", "focused"};

// A borderless window whose client area is one frame control.
class framed_window : public QWidget {
    Q_OBJECT
public:
    framed_window(const QString& caption, QSize size, QWidget* owner = nullptr);
    frame::xp_canvas& canvas() const { return *m_canvas; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    frame::xp_canvas* m_canvas;
};

class gallery_window : public framed_window {
    Q_OBJECT
public:
    gallery_window();

    // Each specimen is named "<row> <state>", as "option hovered".
    QWidget* specimen(const QString& row, const QString& state) const;
    // The kinds of control shown, by row, and the window that stays inactive.
    const QStringList& rows() const { return m_rows; }
    framed_window& inactive_window() const { return *m_inactive; }

    // Puts every specimen into its face; call once the window is shown.
    void pose();

private:
    template <class Control>
    Control* add(const QString& row, int column, int width, int height);

    QStringList m_rows;
    std::unique_ptr<framed_window> m_inactive;
    int m_row_top = 0;
};

} // namespace gallery

#pragma once

// The pointer and the shape of windows, as the skinned controls and the
// window frame use them.

#include <QPoint>
#include <QRegion>
#include <QSize>

class QWidget;

namespace platform {

// The pointer in screen pixels (GetCursorPos).
QPoint cursor_pos();

// Whether the pointer is over a window of the program. Where the windowing
// system keeps the last position once the pointer has left every window of
// the program (Wayland), this is what tells that it has gone. True until
// the pointer is first seen to enter or leave one.
bool pointer_in_program();
// Starts following the pointer into and out of the program's windows;
// further calls do nothing.
void follow_pointer_across_windows();

// The pointer as the controls follow it: the system's unless they are given
// another, as a test places the pointer where it wants.
class pointer_source {
public:
    virtual ~pointer_source() = default;
    virtual QPoint position() const { return cursor_pos(); }
    virtual bool in_program() const { return pointer_in_program(); }
};

// The system's pointer, which the source itself holds no state of.
const pointer_source& system_pointer();

// A screen point in pixels relative to a widget's client area (ScreenToClient).
QPoint screen_to_client(const QWidget* widget, QPoint screen_point);

// Gives a top-level window its shape (SetWindowRgn); an empty region gives
// back the plain rectangle.
void set_window_region(QWidget* window, const QRegion& region);

// Whether a shaped window's shape is its alpha channel: everywhere but under
// X11, whose shape extension cuts a window by its region exactly, and where
// a translucent window without a compositor would show black in the cut
// pixels. A window shaped by alpha is translucent and leaves the cut pixels
// unpainted.
bool shapes_by_alpha();
// Readies a top-level window for its shape; it must not have been shown.
void prepare_shaped_window(QWidget* window);

// Whether the program can place its top-level windows itself. Wayland lets
// only the compositor place them, and ignores the position a program asks.
bool can_place_windows();

// The size of the screen the widget is on (or of the primary screen), in pixels.
QSize screen_size(const QWidget* widget = nullptr);

} // namespace platform

#pragma once

// The pointer and the shape of windows, as the skinned controls and the
// window frame use them.

#include <QPoint>
#include <QRegion>
#include <QSize>
#include <functional>
#include <optional>

class QWidget;

namespace platform {

// The pointer in screen pixels (GetCursorPos). Tests may place it with
// QCursor::setPos, which the offscreen platform honours, or through their
// own override.
QPoint cursor_pos();

// A screen point in pixels relative to a widget's client area (ScreenToClient).
QPoint screen_to_client(const QWidget* widget, QPoint screen_point);

// Gives a top-level window its shape (SetWindowRgn); an empty region gives
// back the plain rectangle.
void set_window_region(QWidget* window, const QRegion& region);

// The size of the screen the widget is on (or of the primary screen), in pixels.
QSize screen_size(const QWidget* widget = nullptr);

} // namespace platform

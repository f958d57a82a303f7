#pragma once

// Giving one widget one colour of its own: the rest of its palette stays
// inherited, so the controls inside a coloured container keep theirs.

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace platform {

// Every colour the standard controls are drawn with, as the windows were
// designed: light faces, white fields, black text. A window that holds
// standard controls takes it whole, so that the system's theme, dark or
// light, leaves it as designed; each colour a window sets on top of it
// comes with the colour it is read against.
QPalette design_palette();

inline void set_colour(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
    if (role == widget->backgroundRole())
        widget->setAutoFillBackground(true);
}

} // namespace platform

#pragma once

// Giving one widget one colour of its own: the rest of its palette stays
// inherited, so the controls inside a coloured container keep theirs.

#include <QColor>
#include <QPalette>
#include <QWidget>

namespace platform {

inline void set_colour(QWidget* widget, QPalette::ColorRole role, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(role, colour);
    widget->setPalette(palette);
    if (role == widget->backgroundRole())
        widget->setAutoFillBackground(true);
}

} // namespace platform

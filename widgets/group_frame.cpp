#include "group_frame.h"

#include "platform/toolkit/palette.h"

#include <QPainter>

namespace widgets {

group_frame::group_frame(const QString& caption, QWidget* parent) : QWidget(parent), m_caption(caption) {}

void group_frame::set_caption(const QString& caption)
{
    m_caption = caption;
    update();
}

void group_frame::set_fore_colour(const QColor& colour)
{
    m_fore_colour = colour;
    update();
}

void group_frame::set_back_colour(const QColor& colour)
{
    platform::set_colour(this, QPalette::Window, colour);
}

void group_frame::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QFontMetrics metrics(font());
    // The top line runs through the middle of the caption.
    const int line = metrics.height() / 2;
    const QRect box = rect().adjusted(0, line, -2, -2);
    painter.setPen(QColor(128, 128, 128));
    painter.drawRect(box);
    painter.setPen(Qt::white);
    painter.drawRect(box.translated(1, 1));
    if (m_caption.isEmpty())
        return;
    const int left = 8;
    const QRect text(left, 0, metrics.horizontalAdvance(m_caption) + 4, metrics.height());
    painter.fillRect(text, palette().color(QPalette::Window));
    painter.setPen(m_fore_colour);
    painter.drawText(text, Qt::AlignCenter, m_caption);
}

} // namespace widgets

#include "children.h"

#include <QEvent>
#include <QPainter>

namespace controls {

caption_label::caption_label(QWidget* parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setAutoFillBackground(false);
    setMouseTracking(true);
}

void caption_label::set_caption(const QString& text)
{
    setText(text);
    adjustSize();
    if (on_text_changed)
        on_text_changed();
}

void caption_label::set_caption_font(const QFont& font)
{
    setFont(font);
    adjustSize();
}

void caption_label::set_text_colour(const QColor& colour)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, colour);
    setPalette(p);
}

QColor caption_label::text_colour() const
{
    return palette().color(QPalette::WindowText);
}

void caption_label::set_opaque(bool opaque, const QColor& background)
{
    setAutoFillBackground(opaque);
    if (opaque) {
        QPalette p = palette();
        p.setColor(QPalette::Window, background);
        setPalette(p);
    }
}

bool caption_label::event(QEvent* e)
{
    if (e->type() == QEvent::Shortcut && on_access_key) {
        on_access_key();
        return true;
    }
    return QLabel::event(e);
}

picture_box::picture_box(QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
}

void picture_box::set_picture(const QImage& picture)
{
    m_picture = picture;
    update();
}

void picture_box::paintEvent(QPaintEvent*)
{
    if (m_picture.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, m_picture);
}

} // namespace controls

#include "caption_label.h"

#include <QEvent>

namespace controls {

caption_label::caption_label(QWidget* parent) : QLabel(parent)
{
    // A label that has never held text sizes an empty caption by a fallback
    // instead of by its font (14 x 20 where one empty line is 0 x 21), which
    // would move a group box's top line; holding text once makes it a text
    // label for good.
    setText(QStringLiteral(" "));
    setText(QString());
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

} // namespace controls

#include "skinned_window.h"

#include "application.h"
#include "widget_controls.h"

#include "platform/toolkit/palette.h"
#include "platform/toolkit/units.h"

#include <QEvent>
#include <QImage>
#include <QLabel>
#include <QShortcut>

namespace renamer {

skinned_window::skinned_window(int width_twips, int height_twips, const QString& caption, const QImage& icon,
                               QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint)
{
    // Before any control is made, so that each one inherits it.
    setPalette(platform::design_palette());
    setFont(interface_font());
    setWindowIcon(program_icon());
    resize(platform::twips_to_pixels_x(width_twips), platform::twips_to_pixels_y(height_twips));

    design_values values = {{"Caption", caption}};
    design_values with_icon = {{"Caption", caption}, {"Icon", QVariant::fromValue(icon)}};
    m_canvas = new frame::xp_canvas(this);
    m_canvas->setObjectName(QStringLiteral("xp_canvas1"));
    m_canvas->setGeometry(rect());
    m_canvas->place(&design_bag("xp_canvas1", icon.isNull() ? values : with_icon), controls::placement::load);
}

void skinned_window::close_on_escape(QWidget& close_button)
{
    close_button.setFocusPolicy(Qt::NoFocus);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

platform::property_bag& skinned_window::design_bag(const char* name, design_values values)
{
    platform::property_bag& bag = m_store.bag(QString::fromLatin1(name));
    bag.ambient_display_name = QString::fromLatin1(name);
    bag.ambient_font = font();
    // Design values are stored even where they equal a default: they are
    // what the window was designed with.
    for (const auto& [key, value] : values)
        bag.write(QString::fromLatin1(key), value, QVariant());
    return bag;
}

QLabel* skinned_window::make_label(const QString& text, QWidget* container, QRect twips, QColor colour,
                                   const QFont& font)
{
    auto* label = new QLabel(text, container);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // The label's own colour, not the caption colour of the frame it lies in.
    platform::set_colour(label, QPalette::WindowText, colour);
    if (font != QFont())
        label->setFont(font);
    place(label, twips);
    return label;
}

void skinned_window::place(QWidget* control, QRect twips)
{
    place_twips(control, twips.x(), twips.y(), twips.width(), twips.height());
}

void skinned_window::centre_in(const QRect& area)
{
    // Half of each difference, rounded down: QRect::center() would put the
    // window one pixel left of where the design places it.
    move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
}

void skinned_window::resizeEvent(QResizeEvent* event)
{
    // The frame is the whole client area, whatever size the window takes.
    m_canvas->setGeometry(rect());
    reshape();
    QWidget::resizeEvent(event);
}

void skinned_window::changeEvent(QEvent* event)
{
    // A maximised title has square corners; the normal one has curved ones.
    if (event->type() == QEvent::WindowStateChange)
        reshape();
    QWidget::changeEvent(event);
}

void skinned_window::reshape()
{
    m_canvas->make_trans(this);
}

} // namespace renamer

#include "widget_window.h"

#include "form/browsing.h"

#include "platform/toolkit/units.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace renamer {

option_stand_in::option_stand_in(const QString& caption, QWidget* parent)
    : QWidget(parent), m_caption(caption)
{
    setFocusPolicy(Qt::StrongFocus);
}

void option_stand_in::set_value(bool value)
{
    if (m_value == value)
        return;
    m_value = value;
    update();
}

void option_stand_in::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int d = qMin(height() - 2, 12);
    const QRect dot(1, (height() - d) / 2, d, d);
    p.setPen(palette().color(QPalette::WindowText));
    p.setBrush(palette().color(QPalette::Base));
    p.drawEllipse(dot);
    if (m_value) {
        p.setBrush(palette().color(QPalette::WindowText));
        p.drawEllipse(dot.adjusted(3, 3, -3, -3));
    }
    p.drawText(rect().adjusted(d + 5, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, m_caption);
}

void option_stand_in::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && on_click)
        on_click();
}

void option_stand_in::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Space && on_click) {
        on_click();
        return;
    }
    QWidget::keyPressEvent(event);
}

widget_window::widget_window(const std::string& folder, const platform::file_system& files,
                             platform::message_boxes& boxes, QWidget* parent)
    : QWidget(parent), widget_controls(static_cast<QWidget&>(*this), files, boxes)
{
    const std::string start = start_folder(folder);
    setFont(interface_font());

    make_Drive1(start, this);
    make_Dir1(this);
    make_File1(this);
    open_folder(start);
    for (text_id which : {text_id::Text1, text_id::Text2, text_id::Text3, text_id::Text4, text_id::Text5,
                          text_id::Text6, text_id::zztt})
        make_text(which, this);
    make_Combo1(this);

    m_checks[0] = new option_stand_in(QStringLiteral("去掉所有扩展名"), this);
    m_checks[1] = new option_stand_in(QStringLiteral("更改所有文件名为"), this);
    m_checks[2] = new option_stand_in(QStringLiteral("更改所有扩展名为"), this);

    make_ppbb(this);
    make_Timer1();

    // The places of the skinned window, with its containers' offsets added.
    resize(platform::twips_to_pixels_x(11790), platform::twips_to_pixels_y(7935));
    place_twips(&Dir1(), 240, 720, 1815, 3210);
    place_twips(&Drive1(), 240, 4080, 1815, 330);
    place_twips(&File1(), 2160, 720, 2655, 3600);
    place_twips(&ppbb(), 120, 4560, 4815, 255);
    place_twips(&text_box(text_id::Text1), 120, 4800, 4815, 2295);
    place_twips(&text_box(text_id::Text2), 5160, 720, 6255, 3255);
    place_twips(&text_box(text_id::Text3), 7920, 4140, 495, 315);
    place_twips(&text_box(text_id::Text4), 9240, 4140, 495, 315);
    place_twips(&text_box(text_id::Text5), 7800, 5040, 735, 270);
    place_twips(&text_box(text_id::Text6), 7800, 5400, 735, 270);
    place_twips(&text_box(text_id::zztt), 7800, 5880, 1335, 270);
    place_twips(&Combo1(), 7800, 6360, 1335, 330);
    place_twips(m_checks[0], 5400, 6840, 1935, 255);
    place_twips(m_checks[1], 5400, 6360, 2415, 255);
    place_twips(m_checks[2], 5400, 5880, 2295, 255);

    // Tab order, first to last, of the controls this window has.
    chain_tab_order({&text_box(text_id::Text1), &text_box(text_id::Text2), &text_box(text_id::Text3),
                     &text_box(text_id::Text4), m_checks[0], m_checks[1], m_checks[2], &Combo1(),
                     &text_box(text_id::zztt), &text_box(text_id::Text6), &text_box(text_id::Text5), &File1(),
                     &Dir1(), &Drive1()});

    wire_handlers();
    for (std::size_t i = 0; i < m_checks.size(); ++i) {
        const auto which = static_cast<check_id>(i);
        m_checks[i]->on_click = [this, which] {
            option_click(*this);
            select_option(which);
        };
    }
}

void widget_window::set_check_value(check_id which, bool value)
{
    if (value)
        select_option(which);
    else
        option(which).set_value(false);
}

void widget_window::select_option(check_id which)
{
    // The three option buttons are one group: selecting one clears the others.
    for (std::size_t i = 0; i < m_checks.size(); ++i)
        m_checks[i]->set_value(i == static_cast<std::size_t>(which));
}

} // namespace renamer

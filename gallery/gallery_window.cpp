#include "gallery_window.h"

#include "controls/xpcheckbox.h"
#include "controls/xpcmdbutton.h"
#include "controls/xpgroupbox.h"
#include "controls/xphelp.h"
#include "controls/xpradiobutton.h"
#include "controls/xptopbuttons.h"

#include "platform/toolkit/palette.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QScreen>

namespace gallery {

namespace {

// Below the frame's title bar and beside its left border, in pixels.
constexpr int left_margin = 16;
constexpr int top_margin = 40;
constexpr int name_width = 110;
constexpr int column_width = 104;
constexpr int row_height = 36;

QLabel* text_label(const QString& text, QWidget* parent, QRect where)
{
    auto* label = new QLabel(text, parent);
    label->setTextFormat(Qt::PlainText);
    label->setGeometry(where);
    return label;
}

// A report as the pointer would give it, straight to the control.
void report(QWidget* control, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held)
{
    const QPointF at = QRectF(control->rect()).center();
    QMouseEvent event(type, at, control->mapToGlobal(at), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(control, &event);
}

} // namespace

framed_window::framed_window(const QString& caption, QSize size, QWidget* owner)
    : QWidget(owner, Qt::Window | Qt::FramelessWindowHint)
{
    setPalette(platform::design_palette());
    resize(size);
    m_canvas = new frame::xp_canvas(this);
    m_canvas->setObjectName(QStringLiteral("xp_canvas1"));
    m_canvas->setGeometry(rect());
    m_canvas->place(nullptr, controls::placement::new_instance);
    m_canvas->set_Caption(caption);
    setFocusProxy(m_canvas);
}

void framed_window::resizeEvent(QResizeEvent* event)
{
    m_canvas->setGeometry(rect());
    m_canvas->make_trans(this);
    QWidget::resizeEvent(event);
}

template <class Control>
Control* gallery_window::add(const QString& row, int column, int width, int height)
{
    auto* control = new Control(&canvas());
    control->setObjectName(row + QLatin1Char(' ') + state_names[column]);
    control->setGeometry(left_margin + name_width + column * column_width,
                         m_row_top + (row_height - height) / 2, width, height);
    control->place(nullptr, controls::placement::new_instance);
    return control;
}

gallery_window::gallery_window()
    : framed_window(QStringLiteral("Fennimo 控件库"),
                    QSize(left_margin * 2 + name_width + column_width * int(state_names.size()), 0))
{
    QFont song(QStringLiteral("宋体"));
    song.setPointSizeF(9);
    QFont caption_song = song;
    caption_song.setPointSizeF(10.5);
    m_row_top = top_margin;
    for (int column = 0; column < state_names.size(); ++column) {
        text_label(state_names[column], &canvas(),
                   QRect(left_margin + name_width + column * column_width, m_row_top, column_width, 20));
    }
    m_row_top += 24;

    const auto row = [this](const QString& name, const std::vector<int>& columns, auto make) {
        m_rows << name;
        text_label(name, &canvas(), QRect(left_margin, m_row_top + (row_height - 20) / 2, name_width, 20));
        for (int column : columns)
            make(name, column);
        m_row_top += row_height;
    };
    const std::vector<int> every = {0, 1, 2, 3, 4, 5};
    const std::vector<int> unchecked = {0, 1, 2, 4, 5};

    row("push button", every, [&](const QString& name, int column) {
        auto* b = add<controls::xpcmdbutton>(name, column, 80, 25);
        b->set_Font(song);
        b->set_Caption(QStringLiteral("确定"));
        // A push button is never checked; its emphasised rest face stands
        // in that column.
        if (column == 3)
            b->set_State(1);
    });
    row("check box", every, [&](const QString& name, int column) {
        auto* c = add<controls::xpcheckbox>(name, column, 96, 17);
        c->set_Font(caption_song);
        c->set_Caption(QStringLiteral("复选框"));
        c->set_Value(column == 3 ? 1 : 0);
    });
    row("check box mixed", {0, 1, 2, 4}, [&](const QString& name, int column) {
        auto* c = add<controls::xpcheckbox>(name, column, 96, 17);
        c->set_Font(caption_song);
        c->set_Caption(QStringLiteral("部分选中"));
        c->set_Value(2);
    });
    row("option button", every, [&](const QString& name, int column) {
        auto* o = add<controls::xpradiobutton>(name, column, 96, 17);
        o->set_Font(caption_song);
        o->set_Caption(QStringLiteral("单选按钮"));
        o->set_Value(column == 3);
    });
    static const char* const caption_kinds[] = {"close", "maximize", "minimize", "restore"};
    for (int kind = 0; kind < 4; ++kind) {
        row(QStringLiteral("caption %1").arg(QLatin1String(caption_kinds[kind])), unchecked,
            [&](const QString& name, int column) {
                add<controls::xptopbuttons>(name, column, 21, 21)->set_Value(kind);
            });
    }
    row("help button", {0, 1, 2, 5}, [&](const QString& name, int column) { add<controls::xphelp>(name, column, 21, 21); });
    row("group box", {0, 4, 5}, [&](const QString& name, int column) {
        auto* g = add<controls::xpgroupbox>(name, column, 96, row_height - 4);
        g->set_Font(song);
        // A new group box is yellow, to be seen while it is placed; here
        // it takes the face colour of the window around it.
        g->set_BackColor(controls::button_face);
        g->set_Caption(QStringLiteral("分组框"));
    });
    // The frame around all of this is the active look; the small window
    // beside it, never activated, shows the inactive one.
    m_rows << QStringLiteral("frame");
    resize(width(), m_row_top + 16);

    m_inactive = std::make_unique<framed_window>(QStringLiteral("未激活的窗口"), QSize(260, 120));
    m_inactive->setObjectName(QStringLiteral("frame inactive"));
    m_inactive->setAttribute(Qt::WA_ShowWithoutActivating);
    canvas().setObjectName(QStringLiteral("frame active"));
}

QWidget* gallery_window::specimen(const QString& row, const QString& state) const
{
    if (row == QLatin1String("frame"))
        return state == QLatin1String("active") ? &canvas()
               : state == QLatin1String("inactive") ? &m_inactive->canvas()
                                                    : nullptr;
    return findChild<QWidget*>(row + QLatin1Char(' ') + state);
}

void gallery_window::pose()
{
    const QRect area = screen() ? screen()->availableGeometry() : QRect(0, 0, 1280, 1024);
    m_inactive->move(qMin(x() + width() + 16, area.right() - m_inactive->width()), y());
    m_inactive->show();

    for (const QString& row : m_rows) {
        for (const char* state : {"hovered", "pressed", "disabled"}) {
            auto* control = qobject_cast<controls::xp_control*>(specimen(row, QLatin1String(state)));
            if (!control)
                continue;
            const QString s = QLatin1String(state);
            if (s == QLatin1String("hovered"))
                report(control, QEvent::MouseMove, Qt::NoButton, Qt::NoButton);
            else if (s == QLatin1String("pressed"))
                report(control, QEvent::MouseMove, Qt::NoButton, Qt::LeftButton);
            else
                control->set_Enabled(false);
            // The poll would put the rest face back, the pointer being
            // elsewhere.
            if (auto* hover = qobject_cast<controls::hover_control*>(control))
                hover->Timer1().set_enabled(false);
        }
    }
    // Only one control can hold the keyboard focus, so each focused
    // specimen shows its mark without it; the push button holds it as well.
    for (const QString& row : m_rows)
        if (auto* control = qobject_cast<controls::xp_control*>(specimen(row, QStringLiteral("focused"))))
            control->show_focus_mark(true);
    if (QWidget* focused = specimen(QStringLiteral("push button"), QStringLiteral("focused")))
        focused->setFocus(Qt::OtherFocusReason);
}

} // namespace gallery

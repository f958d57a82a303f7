#include "main_window.h"

#include "core/journal.h"

#include "form/browsing.h"
#include "help_window.h"
#include "preview_window.h"
#include "form/window_runs.h"

#include "controls/colours.h"
#include "platform/files/file_calls.h"
#include "platform/toolkit/message_loop.h"
#include "platform/toolkit/palette.h"
#include "platform/toolkit/pictures.h"
#include "platform/toolkit/pointer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QFrame>
#include <QLineEdit>
#include <utility>

namespace renamer {

namespace {

using controls::rgb;

const QColor grey(224, 224, 224);
constexpr controls::ole_color grey_ole = rgb(224, 224, 224);

QVariant font_value(double points)
{
    return QVariant::fromValue(interface_font(points));
}

widgets::group_frame* make_frame(const QString& caption, QWidget* container, QRect twips, QColor caption_colour)
{
    auto* frame = new widgets::group_frame(caption, container);
    frame->set_back_colour(grey);
    frame->set_fore_colour(caption_colour);
    place_twips(frame, twips.x(), twips.y(), twips.width(), twips.height());
    return frame;
}

QFont label_font(double points, bool bold = false)
{
    QFont font = interface_font(points);
    font.setBold(bold);
    return font;
}

} // namespace

Form3::Form3(const std::string& folder, const platform::file_system& files, platform::message_boxes& boxes)
    : skinned_window(11790, 7935, QStringLiteral("Fennimo " FENNIMO_VERSION " "), platform::picture(QStringLiteral("main_icon")),
                     nullptr),
      widget_controls(static_cast<QWidget&>(*this), files, boxes)
{
    const std::string start = start_folder(folder);
    QWidget* canvas = &xp_canvas1();
    // Every control, by its name, in the order it is created; the first lies
    // on top of those made after it in the same container.
    std::vector<QWidget*> made;
    const auto keep = [&made](const char* name, auto* control) {
        control->setObjectName(QString::fromLatin1(name));
        made.push_back(control);
        return control;
    };

    const auto frame = [&](int n, const QString& caption, QWidget* container, QRect twips, QColor colour) {
        const QByteArray name = "Frame" + QByteArray::number(n);
        return m_frames[std::size_t(n)] = keep(name.constData(), make_frame(caption, container, twips, colour));
    };
    const auto label = [&](int n, const QString& text, QWidget* container, QRect twips,
                           QColor colour = Qt::black, const QFont& font = {}) {
        const QByteArray name = "Label" + QByteArray::number(n);
        m_labels[std::size_t(n)] = keep(name.constData(), make_label(text, container, twips, colour, font));
    };

    auto* Frame3 = frame(3, QStringLiteral("文件"), canvas, {120, 480, 4815, 4095}, QColor(0, 0, 128));
    auto* Drive1 = keep("Drive1", make_Drive1(start, Frame3));
    auto* Dir1 = keep("Dir1", make_Dir1(Frame3));
    auto* File1 = keep("File1", make_File1(Frame3));
    place(Drive1, {120, 3600, 1815, 330});
    place(Dir1, {120, 240, 1815, 3210});
    place(File1, {2040, 240, 2655, 3600});
    open_folder_after_painting(start, xp_canvas1());

    auto* Frame1 = frame(1, QStringLiteral("文件改名"), canvas, {5040, 480, 6495, 6975}, QColor(0, 0, 192));
    auto* Frame2 = frame(2, QStringLiteral("高级设置"), Frame1, {120, 4080, 6255, 2775}, QColor(0, 0, 255));
    place(keep("Text5", make_text(text_id::Text5, Frame2)), {2640, 480, 735, 270});
    place(keep("Text6", make_text(text_id::Text6, Frame2)), {2640, 840, 735, 270});
    place(keep("zztt", make_text(text_id::zztt, Frame2)), {2640, 1320, 1335, 270});
    place(keep("Combo1", make_Combo1(Frame2)), {2640, 1800, 1335, 330});
    const auto option = [&](const char* name, const QString& caption, QRect twips) {
        return keep(name, load_control<controls::xpradiobutton>(
            name, Frame2, twips,
            {{"Value", false}, {"Caption", caption}, {"BackColor", grey_ole}, {"Font", font_value(10.5)}}));
    };
    m_checks[0] = option("Check1", QStringLiteral("去掉所有扩展名"), {240, 2280, 1935, 255});
    m_checks[1] = option("Check2", QStringLiteral("更改所有文件名为"), {240, 1800, 2415, 255});
    m_checks[2] = option("Check3", QStringLiteral("更改所有扩展名为"), {240, 1320, 2295, 255});
    label(4, QStringLiteral("要替换的文件名中必须有"), Frame2, {240, 480, 2415, 255});
    label(5, QStringLiteral("这个字符段才能被修改"), Frame2, {3480, 480, 2175, 255});
    label(6, QStringLiteral("要替换的文件名中必须无"), Frame2, {240, 840, 2415, 255});
    label(7, QStringLiteral("这个字符段才能被修改"), Frame2, {3480, 840, 2175, 255});
    label(8, QStringLiteral("(*号表示随机数字)"), Frame2, {4080, 1800, 2175, 255});

    place(keep("Text4", make_text(text_id::Text4, Frame1)), {4200, 3660, 495, 315});
    place(keep("Text3", make_text(text_id::Text3, Frame1)), {2880, 3660, 495, 315});
    place(keep("Text2", make_text(text_id::Text2, Frame1)), {120, 240, 6255, 3255});
    const auto button = [&](const char* name, QWidget* container, const QString& caption, QRect twips) {
        return keep(name, load_control<controls::xpcmdbutton>(name, container, twips,
                                                               {{"Caption", caption}, {"Font", font_value(9)}}));
    };
    m_Command2 = button("Command2", Frame1, QStringLiteral("查询"), {4800, 3600, 735, 375});
    m_Command1 = button("Command1", Frame1, QStringLiteral("修改"), {5640, 3600, 735, 375});
    m_Command1->setToolTip(QStringLiteral("改名前按 F5，可以预览每个文件的新名称"));
    label(3, QStringLiteral("替换为"), Frame1, {3480, 3720, 735, 255});
    label(2, QStringLiteral("将上面所有文件名称中的字符"), Frame1, {120, 3720, 2775, 255});

    widgets::text_box* Text1 = keep("Text1", make_text(text_id::Text1, canvas));
    place(Text1, {120, 4800, 4815, 2295});
    platform::set_colour(Text1->editor(), QPalette::Base, grey);

    m_xptopbuttons1 =
        keep("xptopbuttons1", load_control<controls::xptopbuttons>("xptopbuttons1", canvas, {11400, 120, 315, 315}, {}));
    m_xphelp1 = keep("xphelp1", load_control<controls::xphelp>("xphelp1", canvas, {11040, 120, 315, 315}, {}));
    m_xpgroupbox1 = keep("xpgroupbox1", load_control<controls::xpgroupbox>(
        "xpgroupbox1", canvas, {120, 480, 11535, 7335},
        {{"Caption", QString()}, {"BackColor", grey_ole}, {"Font", font_value(9)}}));
    make_Timer1();
    m_xpcmdbutton1 = button("xpcmdbutton1", m_xpgroupbox1, QStringLiteral("帮助信息"), {2400, 6720, 1335, 375});
    place(keep("ppbb", make_ppbb(m_xpgroupbox1)), {0, 4080, 4815, 255});
    label(9, QStringLiteral("Fennimo 开发者"), m_xpgroupbox1, {120, 6840, 1935, 375}, QColor(255, 0, 255),
          label_font(12));
    label(1, QStringLiteral("----文  件  列  表----"), canvas, {720, 5160, 3255, 255}, QColor(128, 0, 128),
          label_font(12, true));
    auto* shape = new QFrame(canvas);
    shape->setFrameShape(QFrame::Box);
    platform::set_colour(shape, QPalette::Window, QColor(192, 192, 255));
    place(keep("Shape1", m_Shape1 = shape), {120, 5160, 4815, 255});

    for (auto it = made.rbegin(); it != made.rend(); ++it)
        (*it)->raise();

    // The frame holds the focus as the window opens; Tab leaves it for
    // Text1 and never comes back to it.
    chain_tab_order({Text1, m_Command2, m_Command1, &text_box(text_id::Text2),
                     &text_box(text_id::Text3), &text_box(text_id::Text4), m_checks[0], m_checks[1], m_checks[2],
                     &Combo1(), &text_box(text_id::zztt), &text_box(text_id::Text6), &text_box(text_id::Text5),
                     File1, Dir1, Drive1, m_xpcmdbutton1});
    // Screen readers name each field by the words written beside it.
    const std::pair<QWidget*, QString> field_names[] = {
        {Text1->editor(), QStringLiteral("文件列表")},
        {text_box(text_id::Text2).editor(), Frame1->Caption()},
        {text_box(text_id::Text3).editor(), m_labels[2]->text()},
        {text_box(text_id::Text4).editor(), m_labels[3]->text()},
        {text_box(text_id::Text5).editor(), m_labels[4]->text()},
        {text_box(text_id::Text6).editor(), m_labels[6]->text()},
        {text_box(text_id::zztt).editor(), m_checks[2]->Caption()},
        {static_cast<QWidget*>(Combo1().lineEdit()), m_checks[1]->Caption()},
        // The three lists have no words beside them but their group's; the
        // drive box would otherwise be named by the drive it shows, and
        // that stays its value.
        {File1, Frame3->Caption()},
        {Dir1, QStringLiteral("文件夹")},
        {Drive1, QStringLiteral("驱动器")},
    };
    for (const auto& [field, name] : field_names)
        field->setAccessibleName(name);
    // The frame, first in the tab order, has the focus as the window opens.
    setFocusProxy(&xp_canvas1());
    // Outside the tab order, and without a focus mark to show: the caption
    // buttons' work is on the keyboard as F1 and the desktop's close, the
    // group box only draws a border.
    for (QWidget* outside : std::initializer_list<QWidget*>{m_xptopbuttons1, m_xphelp1, m_xpgroupbox1})
        outside->setFocusPolicy(Qt::NoFocus);

    wire_handlers();
    m_Command1->events().bind(controls::Click_event, [this] { start_run(rename_job); });
    m_Command2->events().bind(controls::Click_event, [this] { start_run(query_job); });
    // Key presses go to the control with the focus; the window sees them
    // all first this way.
    QApplication::instance()->installEventFilter(this);
    for (auto* check : m_checks)
        check->events().bind(controls::Click_event, [this] { option_click(*this); });
    m_xphelp1->events().bind(controls::Click_event, [this] { show_help(); });
    m_xpcmdbutton1->events().bind(controls::Click_event, [this] { show_help(); });
    m_xptopbuttons1->events().bind(controls::Click_event, [this] { end_program(); });

    centre_in(QRect(QPoint(0, 0), platform::screen_size(this)));
}

Form3::~Form3()
{
    stop_run();
    // The preview first: it tells the planner to forget it.
    delete m_preview;
}

void Form3::stop_run()
{
    // A run cut short stops between two files, its journal ended as
    // stopped, so that an undo says so and takes back what it did.
    if (!running())
        return;
    stop_journals();
    m_runs.stop();
}

void Form3::start_run(run_job (*make)(window_controls&))
{
    // A click on a run button while a run goes would start a second run
    // over the first one's list, which the first then goes on reading by
    // stale indexes. The click is ignored instead.
    if (running())
        return;
    settle_pattern_rule();
    m_runs.start(make(*this));
}

void Form3::undo_last_run()
{
    start_run(undo_job);
}

bool Form3::focusNextPrevChild(bool next)
{
    return move_focus(next) || skinned_window::focusNextPrevChild(next);
}

bool Form3::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget || widget->window() != this)
            return skinned_window::eventFilter(watched, event);
        // In a box the user types into, Ctrl+Z takes back the typing, as in
        // every editor; anywhere else in the window it takes back the run.
        if (key->matches(QKeySequence::Undo)) {
            const auto* editor = qobject_cast<const QLineEdit*>(widget);
            if (editor && !editor->isReadOnly())
                return false;
            if (!key->isAutoRepeat())
                undo_last_run();
            return true;
        }
        const auto plain = [key](Qt::Key which) { return key->key() == which && key->modifiers() == Qt::NoModifier; };
        if (plain(Qt::Key_F5)) {
            show_preview();
            return true;
        }
        if (plain(Qt::Key_F1)) {
            // Asked for from the keyboard, the help takes it, so that the
            // arrows scroll it and Escape closes it.
            show_help();
            m_help->raise();
            m_help->activateWindow();
            return true;
        }
    }
    return skinned_window::eventFilter(watched, event);
}

void Form3::show_help()
{
    if (!m_help)
        m_help = new Form2(this);
    m_help->show();
}

preview_window* Form3::preview() const
{
    return m_preview;
}

void Form3::show_preview()
{
    if (!m_preview) {
        if (!m_planner)
            m_planner = std::make_unique<preview_planner>(file_system());
        m_preview = new preview_window(*this, *m_planner);
        m_preview->on_rename = [this] { rename_from_preview(); };
        // A closed preview is gone for F5, even before it is discarded.
        m_preview->on_closed = [this] { m_preview = nullptr; };
    }
    m_preview->show();
    m_preview->raise();
    m_preview->activateWindow();
}

void Form3::rename_from_preview()
{
    // As Command1's own click would be, while a run goes.
    if (running())
        return;
    m_preview->close();
    activateWindow();
    // A click on Command1 takes the focus, and a pattern left in Combo1 is
    // checked as the focus leaves it. The window may not be active again
    // yet, and then nothing tells Combo1; the check is due all the same, and
    // the click runs it first.
    QWidget* focus = focusWidget();
    const bool in_combo = focus && (focus == &Combo1() || Combo1().isAncestorOf(focus));
    m_Command1->setFocus(Qt::MouseFocusReason);
    if (in_combo)
        pattern_rule_due();
    m_Command1->click();
}

void Form3::closeEvent(QCloseEvent* event)
{
    event->accept();
    end_program();
}

void Form3::end_program()
{
    // Every window goes at once, the help window with this one.
    for (QWidget* window : QApplication::topLevelWidgets())
        window->hide();
    stop_run();
    platform::end_program();
}

} // namespace renamer

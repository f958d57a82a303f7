#include "app/application.h"
#include "app/help_window.h"
#include "app/main_window.h"
#include "core/rules.h"
#include "form/window_runs.h"

#include "platform/files/folder_reading.h"
#include "widgets/file_list.h"
#include "widgets/line_view.h"
#include "platform/toolkit/message_box.h"
#include "platform/toolkit/message_loop.h"
#include "platform/toolkit/pictures.h"
#include "platform/toolkit/pointer.h"
#include "platform/toolkit/units.h"
#include "folder_fixture.h"
#include "listed.h"
#include "shown_form.h"
#include "scripted_boxes.h"

#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QtTest>

using renamer::check_id;
using renamer::Form3;
using renamer::text_id;

namespace {

// The boxes the windows report and ask in, which each test answers; cleanup()
// gives them back to the toolkit.
fixture::scripted_boxes boxes;

QRect twips_rect(int left, int top, int width, int height)
{
    using namespace platform;
    return {twips_to_pixels_x(left), twips_to_pixels_y(top), twips_to_pixels_x(width), twips_to_pixels_y(height)};
}

QWidget* named(Form3& w, const QString& name)
{
    return w.findChild<QWidget*>(name);
}

// Where a window of this size stands centred in `area`: the halves of the
// differences, rounded down, as the window was designed.
QPoint centred(QSize size, const QRect& area)
{
    return area.topLeft() + QPoint((area.width() - size.width()) / 2, (area.height() - size.height()) / 2);
}

const QList<QSize> icon_sizes = {{16, 16}, {32, 32}, {48, 48}};

} // namespace

class tst_main_window : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        renamer::set_up_application();
    }
    void init()
    {
        // A pattern box losing the focus may show its message; no test waits on it.
        boxes.on_message = ([this](const QString& text, const QString&) { messages << text; });
    }
    void cleanup()
    {
        boxes.reset();
    boxes.reset();
        messages.clear();
    }

    void window_and_title();
    void desktop_title_is_the_caption();
    void option_captions_hover_data();
    void option_captions_hover();
    void click_on_what_takes_no_focus_data();
    void click_on_what_takes_no_focus();
    void quick_click_after_a_pattern_without_star();
    void design_values_loaded_data();
    void design_values_loaded();
    void tab_order_data();
    void tab_order();
    void controls_in_place_data();
    void controls_in_place();
    void options_click_before_value_data();
    void options_click_before_value();
    void rename_through_command1_data();
    void rename_through_command1();
    void query_through_command2();
    void texts_show_what_the_program_wrote();
    void run_before_the_folder_is_read();
    void second_run_is_refused_data();
    void second_run_is_refused();
    void inputs_during_a_run();
    void no_step_of_a_run_turns_the_loop();
    void help_window_once();
    void closing_ends_everything_data();
    void closing_ends_everything();
    void help_reopens_at_its_top();
    void shaped_by_alpha_data();
    void shaped_by_alpha();
    void read_by_screen_readers();
    void any_theme_leaves_the_look();
    void qt_dialogs_in_chinese();

private:
    QStringList messages;
    temporary_state_folder state;
};

void tst_main_window::window_and_title()
{
    shown_form f({}, boxes);
    Form3& w = *f.form;
    QCOMPARE(w.size(), twips_rect(0, 0, 11790, 7935).size());
    QCOMPARE(w.xp_canvas1().geometry(), w.rect());
    QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
    QCOMPARE(w.xp_canvas1().Caption(), QStringLiteral("Fennimo 1.2.0 "));
    QCOMPARE(w.windowTitle(), QStringLiteral("Fennimo 1.2.0 "));
    QCOMPARE(w.xp_canvas1().Icon(), platform::picture(QStringLiteral("main_icon")));
    QCOMPARE(w.xp_canvas1().Icon().size(), QSize(32, 32));
    QCOMPARE(w.pos(), centred(w.size(), QRect(QPoint(0, 0), platform::screen_size(&w))));
    QCOMPARE(w.windowIcon().availableSizes(), icon_sizes);
    // The title's key-coloured corners are cut out of the window's shape.
    QVERIFY(!w.mask().isEmpty());
    QVERIFY(!w.mask().contains(QPoint(0, 0)));
    QVERIFY(w.mask().contains(QPoint(w.width() / 2, 2)));
    // As the window opens: empty lists and inputs, no rule chosen, the
    // pattern box's design text, the timer off.
    for (text_id which : {text_id::Text1, text_id::Text2, text_id::Text3, text_id::Text4})
        QCOMPARE(w.text(which), std::string());
    for (check_id which : {check_id::Check1, check_id::Check2, check_id::Check3})
        QVERIFY(!w.check_value(which));
    QCOMPARE(w.text(text_id::Combo1), std::string("样式"));
    QVERIFY(!w.Timer1().enabled());
    QCOMPARE(w.File1().Path(), f.folder());
}

// The desktop appends an application display name, when one is set, to
// every window title; the title must be the caption alone. A display name
// that was never set follows the application's name, which shows whether
// one was. The message box still says whose it is.
void tst_main_window::desktop_title_is_the_caption()
{
    const QString name = QCoreApplication::applicationName();
    QCOMPARE(platform::application_title(), QStringLiteral("Fennimo"));
    QCoreApplication::setApplicationName(QStringLiteral("probe"));
    const QString display = QGuiApplication::applicationDisplayName();
    QCoreApplication::setApplicationName(name);
    QCOMPARE(display, QStringLiteral("probe"));
}

// The pointer anywhere over an option button's caption shows the hover
// face, and the poll keeps it: the caption lies within its control.
void tst_main_window::option_captions_hover_data()
{
    QTest::addColumn<int>("which");
    QTest::newRow("Check1") << 0;
    QTest::newRow("Check2") << 1;
    QTest::newRow("Check3") << 2;
}

void tst_main_window::option_captions_hover()
{
    QFETCH(int, which);
    shown_form f({}, boxes);
    controls::xpradiobutton& option = f.form->option(check_id(which));
    controls::caption_label* caption = option.lbl();
    QVERIFY(!caption->text().isEmpty());
    // The part of the caption that shows: a long one is cut at the control's
    // right edge.
    const QRect r = caption->visibleRegion().boundingRect();
    QCOMPARE(r.height(), caption->height());
    for (const QPoint at : {r.topLeft(), r.center(), r.bottomRight()}) {
        const QByteArray where = QStringLiteral("at %1,%2 of the caption, %3 high in a control %4 high")
                                     .arg(at.x()).arg(at.y()).arg(r.height()).arg(option.height()).toUtf8();
        QTest::mouseMove(caption, at);
        QTRY_VERIFY2(option.shown_cell() == controls::indicator_control::state_hover, where.constData());
        option.Timer1().tick();
        QVERIFY2(option.shown_cell() == controls::indicator_control::state_hover, where.constData());
        // Away again, for the next point to enter anew.
        QTest::mouseMove(f.form.get(), QPoint(2, f.form->height() - 2));
        option.Timer1().tick();
        QCOMPARE(option.shown_cell(), controls::indicator_control::state_normal);
    }
}

// A click on a label or a frame leaves the focus where it was; a click on
// a control that takes the focus moves it there.
void tst_main_window::click_on_what_takes_no_focus_data()
{
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<QPoint>("at"); // null: near the bottom right corner
    QTest::addColumn<bool>("takes_focus");
    QTest::newRow("Label2 in Frame1") << "Label2" << QPoint() << false;
    QTest::newRow("Frame2's own surface") << "Frame2" << QPoint() << false;
    QTest::newRow("Label9 in the group box") << "Label9" << QPoint() << false;
    QTest::newRow("Check1") << "Check1" << QPoint() << true;
    QTest::newRow("the frame's title bar") << "xp_canvas1" << QPoint(300, 12) << true;
}

void tst_main_window::click_on_what_takes_no_focus()
{
    QFETCH(QString, clicked);
    QFETCH(QPoint, at);
    QFETCH(bool, takes_focus);
    shown_form f({}, boxes);
    Form3& w = *f.form;
    QVERIFY(QTest::qWaitForWindowActive(&w));
    QWidget* editor = w.text_box(text_id::Text3).line_editor();
    editor->setFocus(Qt::OtherFocusReason);
    QTRY_VERIFY(editor->hasFocus());
    QWidget* target = named(w, clicked);
    QVERIFY(target);
    // A point of the target that no child of it covers.
    click_at(*target, at.isNull() ? QPoint(target->width() - 3, target->height() - 3) : at);
    QCOMPARE(QApplication::focusWidget(), takes_focus ? target : editor);
}

// A press and a release on Command1 in one turn of the event loop, right
// after a pattern without a star was typed: the pattern rule has cleared
// the option and reset the box before the click runs, so nothing is
// renamed by the typed pattern; the message follows.
void tst_main_window::quick_click_after_a_pattern_without_star()
{
    const std::vector<std::string> names{"a.txt", "b.txt"};
    shown_form f(names, boxes);
    Form3& w = *f.form;
    QVERIFY(QTest::qWaitForWindowActive(&w));
    click_at(w.option(check_id::Check2));
    QVERIFY(w.check_value(check_id::Check2));
    w.Combo1().setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(w.Combo1().hasFocus());
    w.Combo1().lineEdit()->selectAll();
    QTest::keyClicks(w.Combo1().lineEdit(), QStringLiteral("r1"));

    QTest::mouseClick(&w.Command1(), Qt::LeftButton, {}, w.Command1().rect().center());

    QCOMPARE(*platform::list_files(f.folder()), names);
    QVERIFY(!w.check_value(check_id::Check2));
    QCOMPARE(w.text(text_id::Combo1), std::string("*.*"));
    QTRY_COMPARE(messages.size(), 1);
}

// The skinned controls take their captions, fonts and colours from the
// window's store of design values.
void tst_main_window::design_values_loaded_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<double>("points");
    QTest::addColumn<bool>("grey"); // back colour RGB(224, 224, 224), where the control has one
    QTest::newRow("Command1") << QStringLiteral("修改") << 9.0 << false;
    QTest::newRow("Command2") << QStringLiteral("查询") << 9.0 << false;
    QTest::newRow("xpcmdbutton1") << QStringLiteral("帮助信息") << 9.0 << false;
    QTest::newRow("Check1") << QStringLiteral("去掉所有扩展名") << 10.5 << true;
    QTest::newRow("Check3") << QStringLiteral("更改所有扩展名为") << 10.5 << true;
    QTest::newRow("xpgroupbox1") << QString() << 9.0 << true;
}

void tst_main_window::design_values_loaded()
{
    QFETCH(QString, caption);
    QFETCH(double, points);
    QFETCH(bool, grey);

    shown_form f({}, boxes);
    QWidget* control = named(*f.form, QTest::currentDataTag());
    QString shown;
    QFont font;
    controls::ole_color back = 0;
    if (auto* button = qobject_cast<controls::xpcmdbutton*>(control)) {
        shown = button->Caption(), font = button->Font();
    } else if (auto* option = qobject_cast<controls::xpradiobutton*>(control)) {
        shown = option->Caption(), font = option->Font(), back = option->BackColor();
        QVERIFY(!option->Value());
    } else if (auto* box = qobject_cast<controls::xpgroupbox*>(control)) {
        shown = box->Caption(), font = box->Font(), back = box->BackColor();
    }
    QCOMPARE(shown, caption);
    QCOMPARE(font.family(), QStringLiteral("宋体"));
    QCOMPARE(font.pointSizeF(), points);
    if (grey)
        QCOMPARE(back, controls::rgb(224, 224, 224));
}

// Tab walks the controls in the designed order from the frame on, and
// Shift+Tab back; both wrap at the ends and stop nowhere else, twice round.
void tst_main_window::tab_order_data()
{
    const QStringList order{"Text1", "Command2", "Command1", "Text2", "Text3", "Text4", "Check1", "Check2", "Check3",
                            "Combo1", "zztt", "Text6", "Text5", "File1", "Dir1", "Drive1", "xpcmdbutton1"};
    QStringList back(order.rbegin(), order.rend());
    QTest::addColumn<bool>("shift");
    QTest::addColumn<QStringList>("stops");
    QTest::newRow("Tab") << false << order + order;
    QTest::newRow("Shift+Tab") << true << back + back;
}

void tst_main_window::tab_order()
{
    QFETCH(bool, shift);
    QFETCH(QStringList, stops);
    shown_form f({}, boxes);
    QVERIFY(QTest::qWaitForWindowActive(f.form.get()));
    QTRY_VERIFY(f.form->xp_canvas1().hasFocus());
    for (const QString& name : stops) {
        QTest::keyClick(QApplication::focusWidget(), shift ? Qt::Key_Backtab : Qt::Key_Tab,
                        shift ? Qt::ShiftModifier : Qt::NoModifier);
        QWidget* next = named(*f.form, name);
        QWidget* focus = QApplication::focusWidget();
        QVERIFY2(next && (focus == next || next->isAncestorOf(focus)),
                 qPrintable(name + " / " + (focus ? focus->objectName() + focus->metaObject()->className() : "")));
    }
}

// Each control at its place in its container, in pixels from the design's
// twips, and really on top at its centre: the controls made first lie above
// those made after them, so the group box lies under the frames and Text1
// covers Label1 and Shape1.
void tst_main_window::controls_in_place_data()
{
    QTest::addColumn<QString>("container");
    QTest::addColumn<QRect>("twips");
    QTest::addColumn<QString>("on_top"); // empty for the control itself

    QTest::newRow("Frame3") << "xp_canvas1" << QRect(120, 480, 4815, 4095) << QString();
    QTest::newRow("Drive1") << "Frame3" << QRect(120, 3600, 1815, 330) << QString();
    QTest::newRow("File1") << "Frame3" << QRect(2040, 240, 2655, 3600) << QString();
    QTest::newRow("Frame2") << "Frame1" << QRect(120, 4080, 6255, 2775) << QString();
    QTest::newRow("Combo1") << "Frame2" << QRect(2640, 1800, 1335, 330) << QString();
    QTest::newRow("Check2") << "Frame2" << QRect(240, 1800, 2415, 255) << QString();
    QTest::newRow("Text2") << "Frame1" << QRect(120, 240, 6255, 3255) << QString();
    QTest::newRow("Command1") << "Frame1" << QRect(5640, 3600, 735, 375) << QString();
    QTest::newRow("Text1") << "xp_canvas1" << QRect(120, 4800, 4815, 2295) << QString();
    QTest::newRow("xptopbuttons1") << "xp_canvas1" << QRect(11400, 120, 315, 315) << QString();
    QTest::newRow("xphelp1") << "xp_canvas1" << QRect(11040, 120, 315, 315) << QString();
    QTest::newRow("xpgroupbox1") << "xp_canvas1" << QRect(120, 480, 11535, 7335) << "Frame1";
    QTest::newRow("xpcmdbutton1") << "xpgroupbox1" << QRect(2400, 6720, 1335, 375) << QString();
    QTest::newRow("ppbb") << "xpgroupbox1" << QRect(0, 4080, 4815, 255) << QString();
    QTest::newRow("Label9") << "xpgroupbox1" << QRect(120, 6840, 1935, 375) << QString();
    QTest::newRow("Label1") << "xp_canvas1" << QRect(720, 5160, 3255, 255) << "Text1";
    QTest::newRow("Shape1") << "xp_canvas1" << QRect(120, 5160, 4815, 255) << "Text1";
}

void tst_main_window::controls_in_place()
{
    QFETCH(QString, container);
    QFETCH(QRect, twips);
    QFETCH(QString, on_top);

    shown_form f({}, boxes);
    QWidget* c = named(*f.form, QTest::currentDataTag());
    QVERIFY(c);
    QCOMPARE(c->parentWidget(), named(*f.form, container));
    QCOMPARE(c->geometry(), twips_rect(twips.x(), twips.y(), twips.width(), twips.height()));
    QVERIFY(c->isVisible());
    QWidget* expected = on_top.isEmpty() ? c : named(*f.form, on_top);
    QWidget* hit = f.form->childAt(c->mapTo(f.form.get(), c->rect().center()));
    QVERIFY2(hit && (hit == expected || expected->isAncestorOf(hit)),
             hit ? hit->metaObject()->className() : "nothing there");
}

// A click on an option button: its Click comes first, while every Value is
// as it was, and empties the replacement fields; then the clicked button
// alone is selected, across the whole window.
void tst_main_window::options_click_before_value_data()
{
    QTest::addColumn<int>("selected"); // -1 for none
    QTest::addColumn<int>("clicked");
    QTest::newRow("first choice") << -1 << 0;
    QTest::newRow("Check1 to Check2") << 0 << 1;
    QTest::newRow("Check2 to Check3") << 1 << 2;
    QTest::newRow("Check3 again") << 2 << 2;
}

void tst_main_window::options_click_before_value()
{
    QFETCH(int, selected);
    QFETCH(int, clicked);

    shown_form f({}, boxes);
    Form3& w = *f.form;
    if (selected >= 0)
        w.set_check_value(check_id(selected), true);
    w.set_text(text_id::Text3, "old");
    w.set_text(text_id::Text4, "new");

    std::vector<std::array<bool, 3>> values_at_click;
    std::vector<std::string> text3_at_click;
    // Bound after the window's own handler, so it sees what that one left.
    w.option(check_id(clicked)).events().bind("Click", [&] {
        values_at_click.push_back(
            {w.check_value(check_id::Check1), w.check_value(check_id::Check2), w.check_value(check_id::Check3)});
        text3_at_click.push_back(w.text(text_id::Text3));
    });
    click_at(w.option(check_id(clicked)));

    QCOMPARE(values_at_click.size(), std::size_t(1));
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(values_at_click[0][std::size_t(i)], i == selected);
        QCOMPARE(w.check_value(check_id(i)), i == clicked);
    }
    QCOMPARE(text3_at_click[0], std::string());
    QCOMPARE(w.text(text_id::Text4), std::string());

    // A click into a replacement field takes the rule back to replacement.
    click_at(*w.text_box(text_id::Text4).editor());
    for (int i = 0; i < 3; ++i)
        QVERIFY(!w.check_value(check_id(i)));
}

// The rename run through a real click on Command1, with the inputs typed.
// Without any input, a click at once leaves every name and lists the folder.
void tst_main_window::rename_through_command1_data()
{
    QTest::addColumn<QString>("what");
    QTest::addColumn<QString>("with");
    QTest::addColumn<QString>("pattern"); // chosen through Check2 when not empty
    QTest::addColumn<QStringList>("after"); // on disk and in both lists, in list order

    QTest::newRow("pressed at once") << QString() << QString() << QString()
                                     << QStringList{"a1.txt", "b_a.jpg", "c.doc"};
    QTest::newRow("replace a by x") << "a" << "x" << QString() << QStringList{"b_x.jpg", "c.doc", "x1.txt"};
    QTest::newRow("pattern") << QString() << QString() << "p*.z" << QStringList{"p0.z", "p1.z", "p2.z"};
}

void tst_main_window::rename_through_command1()
{
    QFETCH(QString, what);
    QFETCH(QString, with);
    QFETCH(QString, pattern);
    QFETCH(QStringList, after);

    shown_form f({"a1.txt", "b_a.jpg", "c.doc"}, boxes);
    Form3& w = *f.form;
    QTest::keyClicks(w.text_box(text_id::Text3).line_editor(), what);
    QTest::keyClicks(w.text_box(text_id::Text4).line_editor(), with);
    if (!pattern.isEmpty()) {
        click_at(w.option(check_id::Check2));
        w.Combo1().setCurrentText(pattern);
    }
    click_at(w.Command1());
    finish_run(w);

    std::vector<std::string> names;
    for (const auto& name : after)
        names.push_back(name.toStdString());
    QCOMPARE(*platform::list_files(f.folder()), names);
    QCOMPARE(w.text(text_id::Text2), listed(f.folder(), names, false));
    QCOMPARE(w.text(text_id::Text1), listed(f.folder(), names, true));
    QVERIFY(!w.Timer1().enabled());
    QVERIFY(!w.running());
    // What the run wrote reaches the screen once the display period is over.
    auto* view = w.text_box(text_id::Text2).list_view();
    QTRY_COMPARE_WITH_TIMEOUT(view->text(), after.join(QLatin1Char('\n')), 5000);
    QVERIFY(messages.isEmpty());
}

void tst_main_window::query_through_command2()
{
    shown_form f({"IMG_1.jpg", "a.txt", "img_2.jpg"}, boxes);
    Form3& w = *f.form;
    const auto before = fixture::read_folder(f.folder());
    QTest::keyClicks(w.text_box(text_id::Text3).line_editor(), QStringLiteral("IMG"));
    w.ppbb().set_max(5);
    w.ppbb().set_value(3);
    click_at(w.Command2());

    QCOMPARE(w.text(text_id::Text2), std::string("IMG_1.jpg"));
    QCOMPARE(w.text(text_id::Text1), renamer::listing_line(f.folder(), "IMG_1.jpg"));
    QCOMPARE(fixture::read_folder(f.folder()), before);
    QCOMPARE(w.ppbb().Value(), 0.0f);
    QVERIFY(!w.Timer1().enabled());
}

// Check1 empties both replacement fields after the user typed into them:
// the screen must show it, so that what the user types next and then runs is
// what the window shows.
void tst_main_window::texts_show_what_the_program_wrote()
{
    shown_form f({"aq1.txt", "b.txt"}, boxes);
    Form3& w = *f.form;
    QLineEdit* text3 = w.text_box(text_id::Text3).line_editor();
    QLineEdit* text4 = w.text_box(text_id::Text4).line_editor();
    QTest::keyClicks(text3, QStringLiteral("a"));
    QTest::keyClicks(text4, QStringLiteral("b"));
    click_at(w.option(check_id::Check1));
    QCOMPARE(text3->text(), QString());
    QCOMPARE(text4->text(), QString());

    click_at(*text3);
    QTest::keyClick(text3, Qt::Key_End);
    QTest::keyClicks(text3, QStringLiteral("q"));
    QCOMPARE(text3->text(), QStringLiteral("q"));
    click_at(w.Command1());
    finish_run(w);
    QCOMPARE(*platform::list_files(f.folder()), (std::vector<std::string>{"a1.txt", "b.txt"}));
}

// The window reads its folder only after its first frame; a run started
// before then works on the whole folder all the same.
void tst_main_window::run_before_the_folder_is_read()
{
    const auto dir = fixture::make_folder();
    fixture::make_files(dir->path(), {"a1.txt", "b1.txt"});
    Form3 w(dir->path(), boxes);
    w.show();
    const auto& list = w.findChild<widgets::file_list*>(QStringLiteral("File1"))->model_of_names();
    QCOMPARE(list.rowCount(), 0);

    w.Command2().click();
    finish_run(w);
    QCOMPARE(w.text(text_id::Text2), std::string("a1.txt\r\nb1.txt"));
    QCOMPARE(list.rowCount(), 2);
    QCOMPARE(w.Dir1().Path(), dir->path());
}

// A click on either run button while a run goes is ignored: only the run
// in progress renames and lists, and a click after it starts a run.
void tst_main_window::second_run_is_refused_data()
{
    QTest::addColumn<bool>("rename"); // the first run: rename (Command1) or query (Command2)
    QTest::addColumn<bool>("second_on_command1");
    QTest::newRow("Command1 in a rename run") << true << true;
    QTest::newRow("Command2 in a rename run") << true << false;
    QTest::newRow("Command1 in a query run") << false << true;
}

void tst_main_window::second_run_is_refused()
{
    QFETCH(bool, rename);
    QFETCH(bool, second_on_command1);

    const std::vector<std::string> names{"x.txt", "y.txt", "z.txt"};
    shown_form f(names, boxes);
    Form3& w = *f.form;
    // A pattern renames each file by its position, so a second run inside
    // the first would also show on disk.
    click_at(w.option(check_id::Check2));
    w.Combo1().setCurrentText(QStringLiteral("n*.txt"));

    controls::xpcmdbutton& second = second_on_command1 ? w.Command1() : w.Command2();
    int second_clicks = 0;
    second.events().bind("Click", [&] { ++second_clicks; });
    // The click makes the run's first step. Clicks through the window would
    // let the loop turn in the middle of them, and the run end meanwhile.
    (rename ? w.Command1() : w.Command2()).click();
    const bool running_seen = w.running();
    second.click();
    finish_run(w);

    QCOMPARE(second_clicks, second_on_command1 && rename ? 2 : 1);
    QVERIFY(running_seen);
    const std::vector<std::string> renamed{"n0.txt", "n1.txt", "n2.txt"};
    QCOMPARE(w.text(text_id::Text2), listed(f.folder(), rename ? renamed : names, false));

    // Idle again, the same button starts its run.
    click_at(second);
    finish_run(w);
    QCOMPARE(w.text(text_id::Text2), listed(f.folder(), renamed, false));
}

// While a run goes, the inputs show every change at once and keep what
// the user types, which the run reads from the next file on; the result
// lists show what they hold now, emptied at the run's start.
void tst_main_window::inputs_during_a_run()
{
    shown_form f({"a1.txt", "a2.txt", "a3.txt"}, boxes);
    Form3& w = *f.form;
    QTest::keyClicks(w.text_box(text_id::Text3).line_editor(), QStringLiteral("a"));
    QTest::keyClicks(w.text_box(text_id::Text4).line_editor(), QStringLiteral("b"));
    w.Command2().click();
    QTRY_VERIFY(!w.text_box(text_id::Text2).list_view()->text().isEmpty());

    QLineEdit* text3 = w.text_box(text_id::Text3).line_editor();
    // The click makes the run's first step, its first file. Clicks through
    // the window would let the loop turn in the middle of them, and the run
    // end meanwhile.
    w.Command1().click();
    const QString text2_shown = w.text_box(text_id::Text2).list_view()->text();
    // Strip the extension from the next file on; the option empties the
    // replacement fields, and the user then types into one.
    w.option(check_id::Check1).click();
    const QString text3_after_option = text3->text();
    QTest::keyClicks(text3, QStringLiteral("zz"));
    finish_run(w);

    QCOMPARE(text2_shown, QString());
    QCOMPARE(text3_after_option, QString());
    QCOMPARE(*platform::list_files(f.folder()), (std::vector<std::string>{"a2", "a3", "b1.txt"}));
    QCOMPARE(w.text(text_id::Text3), std::string("zz"));
    QCOMPARE(text3->text(), QStringLiteral("zz"));
    QCOMPARE(w.text(text_id::Text4), std::string());
}

// However large the folder a run checks and then reads again, none of the
// run's steps turns the event loop: the window's events come in between
// two steps only, from the loop, as they do between two files.
void tst_main_window::no_step_of_a_run_turns_the_loop()
{
    std::vector<std::string> names, renamed;
    // Enough files for the folder to be read again in many pieces.
    for (int i = 0; i < 8192; ++i) {
        const std::string number = QString::number(i).rightJustified(4, QLatin1Char('0')).toStdString();
        names.push_back("a" + number);
        renamed.push_back("b" + number);
    }
    const auto dir = fixture::make_folder(true);
    fixture::make_files(dir->path(), names);
    Form3 w(dir->path(), boxes);
    w.set_text(text_id::Text3, "a");
    w.set_text(text_id::Text4, "b");

    bool turned = false;
    QTimer::singleShot(0, &w, [&] { turned = true; });
    renamer::rename_run(w);

    QVERIFY(!turned);
    QCOMPARE(*platform::list_files(dir->path()), renamed);
    QCOMPARE(w.text(text_id::Text1), listed(dir->path(), renamed, true));
}

void tst_main_window::help_window_once()
{
    shown_form f({}, boxes);
    Form3& w = *f.form;
    QVERIFY(!w.help_window());
    click_at(w.xphelp1());
    click_at(w.xphelp1());
    click_at(w.xpcmdbutton1());
    QVERIFY(w.help_window());
    QCOMPARE(w.findChildren<renamer::Form2*>().size(), 1);
    renamer::Form2& help = *w.help_window();
    QVERIFY(help.isVisible());
    QCOMPARE(help.xp_canvas1().Caption(), QStringLiteral("帮助"));
    QCOMPARE(help.size(), twips_rect(0, 0, 9735, 7950).size());
    QCOMPARE(help.pos(), centred(help.size(), w.geometry()));
    QCOMPARE(help.windowIcon().availableSizes(), icon_sizes);
    QVERIFY(w.isVisible());
}

// The close button, or the desktop closing the main window, ends the
// program through its loop, with every window gone, the help window too.
void tst_main_window::closing_ends_everything_data()
{
    QTest::addColumn<bool>("by_button");
    QTest::newRow("close button") << true;
    QTest::newRow("closed by the desktop") << false;
}

void tst_main_window::closing_ends_everything()
{
    QFETCH(bool, by_button);
    shown_form f({}, boxes);
    Form3& w = *f.form;
    click_at(w.xphelp1());
    QPointer<renamer::Form2> help = w.help_window();
    QVERIFY(help && help->isVisible());
    QTimer::singleShot(0, &w, [&] {
        if (by_button)
            click_at(w.xptopbuttons1());
        else
            w.close();
    });
    // Should the loop not end, it is ended with another code after a while.
    QTimer bound;
    bound.setSingleShot(true);
    connect(&bound, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    bound.start(10000);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!w.isVisible() && !help->isVisible());
}

void tst_main_window::help_reopens_at_its_top()
{
    shown_form f({}, boxes);
    Form3& w = *f.form;
    click_at(w.xphelp1());
    QPointer<renamer::Form2> first = w.help_window();
    QVERIFY(QTest::qWaitForWindowExposed(first.data()));
    QTextEdit* text = first->Text1().text_editor();
    QCOMPARE(first->Text1().Text(), renamer::help_text());
    QCOMPARE(text->toPlainText().section(QLatin1Char('\n'), 0, 0), QStringLiteral("帮助说明："));
    // The whole text fits; a shorter box lets it scroll.
    text->setFixedHeight(text->height() / 4);
    QScrollBar* bar = text->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 0);
    bar->setValue(bar->maximum());

    click_at(first->xptopbuttons1());
    QTRY_VERIFY_WITH_TIMEOUT(!first, 5000);
    QVERIFY(!w.help_window());

    click_at(w.xpcmdbutton1());
    renamer::Form2* again = w.help_window();
    QVERIFY(again && again->isVisible());
    QVERIFY(QTest::qWaitForWindowExposed(again));
    QCOMPARE(again->Text1().text_editor()->verticalScrollBar()->value(), 0);
    QCOMPARE(again->Text1().text_editor()->cursorForPosition(QPoint(0, 0)).block().text(), QStringLiteral("帮助说明："));
}


// Where the platform cannot cut a window by a region, the cut corners are
// clear pixels of a translucent window; the title beside them is opaque.
void tst_main_window::shaped_by_alpha_data()
{
    QTest::addColumn<bool>("help");
    QTest::newRow("main window") << false;
    QTest::newRow("help window") << true;
}

void tst_main_window::shaped_by_alpha()
{
    QFETCH(bool, help);
    shown_form f({}, boxes);
    QWidget* window = f.form.get();
    if (help) {
        click_at(f.form->xpcmdbutton1());
        window = f.form->help_window();
        QVERIFY(QTest::qWaitForWindowExposed(window));
    }
    QVERIFY(window->testAttribute(Qt::WA_TranslucentBackground));
    const QImage shot = window->grab().toImage();
    const int right = shot.width() - 1;
    for (QPoint corner : {QPoint(0, 0), QPoint(1, 0), QPoint(0, 1), QPoint(right, 0), QPoint(right - 1, 0)})
        QCOMPARE(qAlpha(shot.pixel(corner)), 0);
    for (QPoint title : {QPoint(shot.width() / 2, 0), QPoint(6, 6), QPoint(right - 6, 6), QPoint(0, 10)})
        QCOMPARE(qAlpha(shot.pixel(title)), 255);
}

// A screen reader finds a frame named by its caption, the fields named by
// the words beside them, and the result lists' text; pressing "查询"
// queries.
void tst_main_window::read_by_screen_readers()
{
    shown_form f({"IMG_1.jpg", "a.txt"}, boxes);
    Form3& w = *f.form;
    const auto read = [](QObject* o) { return QAccessible::queryAccessibleInterface(o); };
    QCOMPARE(read(&w)->role(), QAccessible::Window);
    QCOMPARE(read(&w)->text(QAccessible::Name), QStringLiteral("Fennimo 1.2.0 "));
    const std::pair<QWidget*, const char*> fields[] = {
        {w.text_box(text_id::Text3).editor(), "将上面所有文件名称中的字符"},
        {w.text_box(text_id::Text4).editor(), "替换为"},
        {w.text_box(text_id::Text5).editor(), "要替换的文件名中必须有"},
        {w.text_box(text_id::Text6).editor(), "要替换的文件名中必须无"},
        {w.text_box(text_id::zztt).editor(), "更改所有扩展名为"},
        {w.Combo1().lineEdit(), "更改所有文件名为"},
        {w.text_box(text_id::Text1).editor(), "文件列表"},
        {w.text_box(text_id::Text2).editor(), "文件改名"},
        {&w.File1(), "文件"},
        {&w.Dir1(), "文件夹"},
        {&w.Drive1(), "驱动器"},
    };
    for (const auto& [field, name] : fields)
        QCOMPARE(read(field)->text(QAccessible::Name), QString::fromUtf8(name));
    QCOMPARE(read(&w.Drive1())->text(QAccessible::Value), QString::fromStdString(w.drive()));

    w.text_box(text_id::Text3).line_editor()->setText(QStringLiteral("IMG"));
    read(&w.Command2())->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    finish_run(w);
    w.text_box(text_id::Text2).flush();
    QAccessibleInterface* result = read(w.text_box(text_id::Text2).editor());
    QCOMPARE(result->text(QAccessible::Value), QStringLiteral("IMG_1.jpg"));
    QVERIFY(result->textInterface());
    QCOMPARE(result->textInterface()->text(0, result->textInterface()->characterCount()), QStringLiteral("IMG_1.jpg"));
    QVERIFY(result->state().readOnly);
}

// The windows carry every colour of their own: under a dark palette they
// look exactly as under the light one.
void tst_main_window::any_theme_leaves_the_look()
{
    const auto shot = [](const std::string& folder) {
        Form3 w(folder, boxes);
        w.show();
        if (!QTest::qWaitForWindowExposed(&w))
            return QImage();
        QCoreApplication::processEvents();
        return w.grab().toImage();
    };
    const auto dir = fixture::make_folder();
    fixture::make_files(dir->path(), {"IMG_1.jpg", "a.txt"});
    const QPalette light = QApplication::palette();
    const QImage as_designed = shot(dir->path());
    QPalette dark(QColor(53, 53, 53), QColor(42, 42, 42));
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::BrightText,
                                     QPalette::ToolTipText, QPalette::HighlightedText, QPalette::PlaceholderText})
        dark.setColor(role, QColor(230, 230, 230));
    for (QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::AlternateBase, QPalette::Button,
                                     QPalette::Light, QPalette::Midlight, QPalette::Mid, QPalette::Dark})
        dark.setColor(role, QColor(40, 40, 40));
    QApplication::setPalette(dark);
    const QImage under_dark = shot(dir->path());
    QApplication::setPalette(light);
    QVERIFY(!as_designed.isNull());
    QCOMPARE(under_dark, as_designed);
}

// Qt's own dialogs speak the interface's language.
void tst_main_window::qt_dialogs_in_chinese()
{
    QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok);
    QCOMPARE(box.button(QMessageBox::Yes)->text(), QStringLiteral("是(&Y)"));
    QCOMPARE(box.button(QMessageBox::No)->text(), QStringLiteral("否(&N)"));
    QCOMPARE(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
}

QTEST_MAIN(tst_main_window)
#include "tst_main_window.moc"

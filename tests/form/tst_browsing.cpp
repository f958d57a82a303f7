#include "form/browsing.h"
#include "headless_window.h"
#include "core/rules.h"
#include "widget_window.h"

#include "platform/files/file_calls.h"
#include "platform/files/folder_reading.h"
#include "widgets/line_view.h"
#include "platform/toolkit/message_box.h"
#include "widgets/shown_text.h"
#include "folder_fixture.h"
#include "child_namespace.h"
#include "listed.h"
#include "scripted_boxes.h"
#include "staged_files.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTextCursor>
#include <QtTest>

using renamer::check_id;
using renamer::text_id;

namespace {

// The folders a test cannot list: the windows open their folders on it, and
// cleanup() stages nothing again.
fixture::staged_files staged;
// The boxes the windows report in, which a test may answer.
fixture::scripted_boxes boxes;

// The real window, with a record of every write to a text box, which shows
// how often and in what order the handlers write.
class recording_window : public renamer::widget_window {
public:
    using widget_window::widget_window;

    struct write {
        text_id which;
        std::string text;
        std::array<bool, 3> checks;   // the option buttons at that moment
    };
    std::vector<write> writes;

    void set_text(text_id which, const std::string& text) override
    {
        writes.push_back({which, text, {check_value(check_id::Check1), check_value(check_id::Check2),
                                        check_value(check_id::Check3)}});
        widget_window::set_text(which, text);
    }

    std::vector<std::string> writes_of(text_id which) const
    {
        std::vector<std::string> out;
        for (const auto& w : writes)
            if (w.which == which)
                out.push_back(w.text);
        return out;
    }
};

// A point on the first line of a list, at a character.
QPoint char_point(widgets::line_view* view, int position)
{
    return view->point_at(0, position);
}

// Two folders offered as the window's drives: the first holds two files and
// a subfolder with one file, the second three files.
struct two_drives {
    byte_named_dir dir;
    std::string a, b, sub;
    two_drives()
    {
        a = dir.path() + "/a";
        b = dir.path() + "/b";
        sub = a + "/sub";
        make_path(sub);
        make_path(b);
        fixture::write_file(a, "x.txt", {});
        fixture::write_file(a, "y.txt", {});
        fixture::write_file(sub, "s.txt", {});
        fixture::write_file(b, "p", {});
        fixture::write_file(b, "q", {});
        fixture::write_file(b, "r", {});
    }
};

void show_active(QWidget& window)
{
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
}

} // namespace

class tst_browsing : public QObject {
    Q_OBJECT
private slots:
    void cleanup();

    void fill_file_lists_data();
    void fill_file_lists();
    void drive_change_fills_twice_alike();
    void unreadable_keeps_everything_data();
    void unreadable_keeps_everything();
    void name_selection_goes_to_Text3_data();
    void name_selection_goes_to_Text3();
    void replacement_click_clears_options_data();
    void replacement_click_clears_options();
    void option_click_comes_before_value_data();
    void option_click_comes_before_value();
    void pattern_rule_on_leaving_Combo1_data();
    void pattern_rule_on_leaving_Combo1();
    void timer_moves_bar();
    void opens_on_its_drive_when_the_folder_is_unreadable();
    void handlers_on_headless_window_data();
    void handlers_on_headless_window();
};

void tst_browsing::cleanup()
{
    staged.reset();
    boxes.reset();
}

void tst_browsing::fill_file_lists_data()
{
    QTest::addColumn<QString>("folder");   // "files", "empty" or "root"
    QTest::newRow("click on a file") << "files";
    QTest::newRow("empty folder") << "empty";
    QTest::newRow("root folder") << "root";
}

// A click on File1 lists every file, unfiltered, names in Text2 and full
// paths in Text1, line for line.
void tst_browsing::fill_file_lists()
{
    QFETCH(QString, folder);
    if (folder == "root") {
        if (const auto child = fixture::row_in_child(fixture::child_root::own)) {
            QVERIFY2(child->isEmpty(), qPrintable(*child));
            return;
        }
    }
    byte_named_dir dir;
    const std::string path = folder == "root" ? std::string(1, '/') : dir.path();
    if (folder == "files") {
        for (const char* name : {"b.txt", "a\xff.jpg", "C.doc"})
            fixture::write_file(path, name, {});
    }
    const auto names = *platform::list_files(path);
    if (folder == "root")
        QVERIFY(fixture::root_holds_files(names));

    recording_window window(path);
    window.set_text(text_id::Text5, "zzz");   // filters play no part here
    window.set_text(text_id::Text1, "old");
    show_active(window);

    if (names.empty()) {
        renamer::fill_file_lists(window);
    } else {
        auto& list = window.File1();
        QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(list.model()->index(0, 0)).center());
    }
    QCOMPARE(QByteArray::fromStdString(window.text(text_id::Text2)), QByteArray::fromStdString(listed(path, names, false)));
    QCOMPARE(QByteArray::fromStdString(window.text(text_id::Text1)), QByteArray::fromStdString(listed(path, names, true)));
    if (folder == "root") {
        QVERIFY(window.text(text_id::Text1).find("//") == std::string::npos);
        QCOMPARE(window.text(text_id::Text1).substr(0, 1 + names.front().size()), "/" + names.front());
    }
    // The lists reach the screen once the display period is over.
    QTRY_COMPARE(window.text_box(text_id::Text2).list_view()->text(),
                 widgets::shown_text(listed(path, names, false), true));
}

void tst_browsing::drive_change_fills_twice_alike()
{
    two_drives drives;
    recording_window window(drives.a);
    window.Drive1().set_drives({drives.a, drives.b}, drives.a);
    show_active(window);
    QCOMPARE(window.drive(), drives.a);

    // The user picks the second drive in the drive list.
    window.Drive1().setFocus();
    QTest::keyClick(&window.Drive1(), Qt::Key_Down);

    QCOMPARE(window.drive(), drives.b);
    QCOMPARE(window.folder_path(), drives.b);
    QCOMPARE(window.file_path(), drives.b);
    const std::string names = listed(drives.b, {"p", "q", "r"}, false);
    const std::string paths = listed(drives.b, {"p", "q", "r"}, true);
    QCOMPARE(window.text(text_id::Text2), names);
    QCOMPARE(window.text(text_id::Text1), paths);
    // Once from Dir1's Change, once more from Drive1's: each fill clears
    // Text1 and builds the list anew, line by line; a list without doubled
    // separators needs no rewrite at the end.
    const std::vector<std::string> expected = {"", ""};
    QVERIFY(window.writes_of(text_id::Text1) == expected);
    QCOMPARE(window.writes_of(text_id::Text2).size(), std::size_t(2));
}

// A drive or folder that cannot be read leaves drive, folder, file list and
// both text lists as they were.
void tst_browsing::unreadable_keeps_everything_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("drive refused") << "drive";
    QTest::newRow("drive fails between its two listings") << "drive-files";
    QTest::newRow("subfolder refused") << "folder";
    QTest::newRow("subfolder removed meanwhile") << "folder-removed";
    QTest::newRow("subfolder fails between its two listings") << "folder-files";
}

void tst_browsing::unreadable_keeps_everything()
{
    QFETCH(QString, how);
    two_drives drives;
    recording_window window(drives.a, staged);
    window.Drive1().set_drives({drives.a, drives.b}, drives.a);
    show_active(window);
    renamer::file1_click(window);
    const std::string text1 = window.text(text_id::Text1), text2 = window.text(text_id::Text2);
    const auto folder_rows = window.Dir1().rows_model().rows().size();
    QVERIFY(!text2.empty());

    const std::string target = how.startsWith("drive") ? drives.b : drives.sub;
    int listings = 0;
    if (how.endsWith("-files")) {
        // The folder list reads it, then it goes before the file list does.
        staged.listing_fault = ([&](const std::string& f) { return f == target && ++listings > 1; });
    } else if (how == "folder-removed") {
        QVERIFY(QDir(QString::fromStdString(target)).removeRecursively());
    } else {
        staged.listing_fault = ([&](const std::string& f) { return f == target; });
    }

    window.writes.clear();
    if (how.startsWith("drive")) {
        window.Drive1().setFocus();
        QTest::keyClick(&window.Drive1(), Qt::Key_Down);
    } else {
        auto& dir1 = window.Dir1();
        const auto& rows = dir1.rows_model().rows();
        const auto row = std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r.path == target; });
        QVERIFY(row != rows.end());
        QTest::mouseDClick(dir1.viewport(), Qt::LeftButton, {},
                           dir1.visualRect(dir1.model()->index(int(row - rows.begin()), 0)).center());
    }

    QCOMPARE(window.drive(), drives.a);
    QCOMPARE(window.Drive1().currentText(), QString::fromStdString(drives.a));
    QCOMPARE(window.folder_path(), drives.a);
    QCOMPARE(window.file_path(), drives.a);
    QCOMPARE(window.list_count(), 2);
    QCOMPARE(window.text(text_id::Text1), text1);
    QCOMPARE(window.text(text_id::Text2), text2);
    QVERIFY(window.writes.empty());
    QCOMPARE(window.Dir1().rows_model().rows().size(), folder_rows);

    // Once it can be read, the same choice goes through.
    staged.listing_fault = nullptr;
    if (how.startsWith("drive")) {
        QTest::keyClick(&window.Drive1(), Qt::Key_Down);
        QCOMPARE(window.folder_path(), drives.b);
    }
}

void tst_browsing::name_selection_goes_to_Text3_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<int>("from");   // in the shown text of the name
    QTest::addColumn<int>("to");
    QTest::addColumn<QByteArray>("Text3");

    QTest::newRow("piece of a name") << QByteArray("xabcx.txt") << 1 << 4 << QByteArray("abc");
    QTest::newRow("plain click") << QByteArray("xabcx.txt") << 2 << 2 << QByteArray();
    QTest::newRow("bytes that are not UTF-8") << QByteArray("q\xff\xfer.txt") << 1 << 3 << QByteArray("\xff\xfe");
    QTest::newRow("chinese") << QByteArray("旅行照片.jpg") << 2 << 4 << QByteArray("照片");
}

void tst_browsing::name_selection_goes_to_Text3()
{
    QFETCH(QByteArray, name);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QByteArray, Text3);

    byte_named_dir dir;
    fixture::write_file(dir.path(), fixture::str(name), {});
    recording_window window(dir.path());
    show_active(window);
    window.set_check_value(check_id::Check3, true);
    renamer::file1_click(window);
    window.set_text(text_id::Text3, "before");
    window.flush_texts();

    // The user drags across the name in Text2 (or just clicks into it).
    auto* editor = window.text_box(text_id::Text2).list_view();
    QTest::mousePress(editor->viewport(), Qt::LeftButton, {}, char_point(editor, from));
    if (to != from)
        QTest::mouseMove(editor->viewport(), char_point(editor, to));
    QTest::mouseRelease(editor->viewport(), Qt::LeftButton, {}, char_point(editor, to));

    QCOMPARE(QByteArray::fromStdString(window.text(text_id::Text3)), Text3);
    // The option buttons are left alone.
    QVERIFY(window.check_value(check_id::Check3));
}

void tst_browsing::replacement_click_clears_options_data()
{
    QTest::addColumn<int>("selected");   // which option button is on first
    QTest::addColumn<bool>("into_Text4");
    QTest::newRow("Check2, click into Text4") << 1 << true;
    QTest::newRow("Check2, click into Text3") << 1 << false;
    QTest::newRow("Check1, click into Text4") << 0 << true;
    QTest::newRow("Check3, click into Text3") << 2 << false;
}

void tst_browsing::replacement_click_clears_options()
{
    QFETCH(int, selected);
    QFETCH(bool, into_Text4);
    byte_named_dir dir;
    recording_window window(dir.path());
    show_active(window);

    QTest::mouseClick(&window.option(check_id(selected)), Qt::LeftButton);
    QVERIFY(window.check_value(check_id(selected)));
    // Text3 filled from the name list, which keeps the option button on.
    window.set_text(text_id::Text3, "abc");
    window.set_text(text_id::Text4, "xyz");
    window.flush_texts();

    auto& box = window.text_box(into_Text4 ? text_id::Text4 : text_id::Text3);
    QTest::mouseClick(box.line_editor(), Qt::LeftButton);

    for (const auto which : {check_id::Check1, check_id::Check2, check_id::Check3})
        QVERIFY(!window.check_value(which));
    QCOMPARE(window.text(text_id::Text3), std::string("abc"));
    QCOMPARE(window.text(text_id::Text4), std::string("xyz"));
}

void tst_browsing::option_click_comes_before_value_data()
{
    QTest::addColumn<int>("clicked");
    QTest::addColumn<int>("before");   // the button on before, or -1
    QTest::newRow("Check1, none before") << 0 << -1;
    QTest::newRow("Check2 after Check3") << 1 << 2;
    QTest::newRow("Check3 after Check1") << 2 << 0;
    QTest::newRow("Check2 again") << 1 << 1;
}

void tst_browsing::option_click_comes_before_value()
{
    QFETCH(int, clicked);
    QFETCH(int, before);
    byte_named_dir dir;
    recording_window window(dir.path());
    show_active(window);
    if (before >= 0)
        window.set_check_value(check_id(before), true);
    window.set_text(text_id::Text3, "a");
    window.set_text(text_id::Text4, "b");
    window.writes.clear();

    QTest::mouseClick(&window.option(check_id(clicked)), Qt::LeftButton);

    // The replacement fields were emptied while the buttons still stood as
    // before the click.
    QCOMPARE(window.writes.size(), std::size_t(2));
    for (const auto& w : window.writes) {
        QVERIFY(w.text.empty());
        for (int i = 0; i < 3; ++i)
            QCOMPARE(w.checks[std::size_t(i)], i == before);
    }
    QCOMPARE(window.writes[0].which, text_id::Text3);
    QCOMPARE(window.writes[1].which, text_id::Text4);
    // Then the clicked one is selected, and only it.
    for (int i = 0; i < 3; ++i)
        QCOMPARE(window.check_value(check_id(i)), i == clicked);
}

void tst_browsing::pattern_rule_on_leaving_Combo1_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("leave_by");   // "tab" or "click"
    QTest::addColumn<bool>("message");
    QTest::addColumn<bool>("real_box");

    QTest::newRow("name without star, tab") << "img_1.jpg" << "tab" << true << false;
    QTest::newRow("name without star, click") << "img_1.jpg" << "click" << true << false;
    QTest::newRow("name without star, real box") << "img_1.jpg" << "click" << true << true;
    QTest::newRow("initial text") << "样式" << "tab" << true << false;
    QTest::newRow("pattern with stars") << "z*d*.*y" << "tab" << false << false;
    QTest::newRow("one star") << "*" << "click" << false << false;
    QTest::newRow("pattern with stars, real box") << "z*d*.*y" << "tab" << false << true;
}

// Driven through real focus changes. The message hook stands for the box
// and, like a modal box, takes the activation and the focus while it is up;
// with the real box, a zero-interval timer presses its OK as soon as it is
// up.
void tst_browsing::pattern_rule_on_leaving_Combo1()
{
    QFETCH(QString, pattern);
    QFETCH(QString, leave_by);
    QFETCH(bool, message);
    QFETCH(bool, real_box);

    byte_named_dir dir;
    recording_window window(dir.path(), platform::kernel_files(), boxes);
    show_active(window);
    QTest::mouseClick(&window.option(check_id::Check2), Qt::LeftButton);

    QStringList shown;
    QString title;
    // What the window held while the box was up: the box comes first.
    QStringList held_at_box;
    const auto note_held = [&] {
        held_at_box << QString::fromStdString(window.Combo1().Text())
                    << (window.check_value(check_id::Check2) ? "Check2" : "");
    };
    QTimer closer;
    closer.setInterval(0);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            shown << box->text();
            title = box->windowTitle();
            note_held();
            QCOMPARE(box->standardButtons(), QMessageBox::Ok);
            QCOMPARE(box->icon(), QMessageBox::NoIcon);
            box->button(QMessageBox::Ok)->click();
        }
    });
    if (real_box)
        closer.start();
    else boxes.on_message = ([&](const QString& text, const QString& box_title) {
        shown << text;
        title = box_title;
        note_held();
        QWidget box;
        auto* ok = new QLineEdit(&box);
        box.show();
        box.activateWindow();
        ok->setFocus();
        QTRY_VERIFY(ok->hasFocus());
        box.close();
    });

    auto& combo = window.Combo1();
    QCOMPARE(combo.Text(), std::string("样式"));
    combo.setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(combo.hasFocus());
    combo.lineEdit()->selectAll();
    if (pattern != "样式")
        QTest::keyClicks(combo.lineEdit(), pattern);
    QCOMPARE(QString::fromStdString(combo.Text()), pattern);

    QWidget* went_to = nullptr;
    if (leave_by == "tab") {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        went_to = window.text_box(text_id::zztt).line_editor();
    } else {
        went_to = window.text_box(text_id::Text5).line_editor();
        QTest::mouseClick(went_to, Qt::LeftButton);
    }

    if (message) {
        QTRY_COMPARE(shown.size(), 1);
        QCOMPARE(shown.front(), QStringLiteral("选择框中必须选择有*号的样式或输入带有*号的样式！"));
        QCOMPARE(title, platform::application_title());
        QCOMPARE(held_at_box, (QStringList{pattern, "Check2"}));
        QTRY_COMPARE(combo.Text(), std::string("*.*"));
    }
    // The window has its focus back where the user went, and nothing more
    // comes of the box's own focus changes.
    QTRY_VERIFY(window.isActiveWindow());
    QTRY_VERIFY2(went_to->hasFocus(), qPrintable(QDebug::toString(QApplication::focusWidget())));
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    QCOMPARE(shown.size(), message ? 1 : 0);
    QCOMPARE(window.check_value(check_id::Check2), !message);
    QCOMPARE(QString::fromStdString(combo.Text()), message ? QStringLiteral("*.*") : pattern);

    // Entering and leaving again with the pattern now holding a star.
    combo.setFocus(Qt::MouseFocusReason);
    QTRY_VERIFY(combo.hasFocus());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    QCOMPARE(shown.size(), message ? 1 : 0);
}

void tst_browsing::timer_moves_bar()
{
    byte_named_dir dir;
    renamer::widget_window window(dir.path());
    QVERIFY(window.set_bar_max(10));
    window.at_file(3);
    window.Timer1().tick();
    QCOMPARE(window.ppbb().Value(), 3.0f);
    // An index past the bar's range (a second run met another count) is
    // refused and the bar stays.
    window.at_file(11);
    window.Timer1().tick();
    QCOMPARE(window.ppbb().Value(), 3.0f);
    QCOMPARE(window.Timer1().interval(), 50);
    QVERIFY(!window.Timer1().enabled());
}

void tst_browsing::opens_on_its_drive_when_the_folder_is_unreadable()
{
    byte_named_dir dir;
    staged.listing_fault = ([&](const std::string& f) { return f == dir.path(); });
    renamer::widget_window window(dir.path(), staged);
    QVERIFY(!window.drive().empty());
    QCOMPARE(window.folder_path(), window.drive());
    QCOMPARE(window.file_path(), window.drive());
    QVERIFY(window.text(text_id::Text1).empty());
}

// The same handlers over the window without widgets, which the runs' tests
// and the benchmark use: each row is one event and what must follow it.
void tst_browsing::handlers_on_headless_window_data()
{
    QTest::addColumn<QString>("event");
    QTest::addColumn<QString>("folder");   // where Dir1 and File1 end, "a", "b" or "sub"
    QTest::addColumn<QByteArray>("Text2");
    QTest::addColumn<QByteArray>("Text3");
    QTest::addColumn<QString>("checks");   // Check1..3 after, as "010"
    QTest::addColumn<int>("messages");

    QTest::newRow("drive change") << "drive" << "b" << QByteArray("p\r\nq\r\nr") << QByteArray("t3") << "010" << 0;
    QTest::newRow("drive refused") << "drive-refused" << "a" << QByteArray("old") << QByteArray("t3") << "010" << 0;
    QTest::newRow("folder change") << "folder" << "sub" << QByteArray("s.txt") << QByteArray("t3") << "010" << 0;
    QTest::newRow("folder refused") << "folder-refused" << "a" << QByteArray("old") << QByteArray("t3") << "010" << 0;
    QTest::newRow("file click") << "file" << "a" << QByteArray("x.txt\r\ny.txt") << QByteArray("t3") << "010" << 0;
    QTest::newRow("selection in Text2") << "select" << "a" << QByteArray("old") << QByteArray("ld") << "010" << 0;
    QTest::newRow("click in Text2 without selection") << "click-Text2" << "a" << QByteArray("old") << QByteArray() << "010" << 0;
    QTest::newRow("click in Text4") << "click-Text4" << "a" << QByteArray("old") << QByteArray("t3") << "000" << 0;
    QTest::newRow("option click") << "option" << "a" << QByteArray("old") << QByteArray() << "010" << 0;
    QTest::newRow("Combo1 without star") << "combo:img_1.jpg" << "a" << QByteArray("old") << QByteArray("t3") << "000" << 1;
    QTest::newRow("Combo1 with stars") << "combo:z*d*.*y" << "a" << QByteArray("old") << QByteArray("t3") << "010" << 0;
}

void tst_browsing::handlers_on_headless_window()
{
    QFETCH(QString, event);
    QFETCH(QString, folder);
    QFETCH(QByteArray, Text2);
    QFETCH(QByteArray, Text3);
    QFETCH(QString, checks);
    QFETCH(int, messages);

    two_drives drives;
    renamer::headless_window window(drives.a, staged, boxes);
    window.choose_drive(drives.a);
    QVERIFY(window.set_folder_path(drives.a));
    window.set_text(text_id::Text2, "old");
    window.set_text(text_id::Text3, "t3");
    window.set_text(text_id::Text4, "t4");
    window.set_check_value(check_id::Check2, true);
    int shown = 0;
    boxes.on_message = ([&](const QString&, const QString&) { ++shown; });

    if (event.endsWith("-refused"))
        staged.listing_fault = ([&](const std::string& f) { return f == drives.b || f == drives.sub; });
    if (event.startsWith("drive")) {
        window.choose_drive(drives.b);
    } else if (event.startsWith("folder")) {
        window.set_folder_path(drives.sub);
    } else if (event == "file") {
        renamer::file1_click(window);
    } else if (event == "select") {
        window.select_text(text_id::Text2, 1, 2);
        renamer::text2_click(window);
    } else if (event == "click-Text2") {
        renamer::text2_click(window);
    } else if (event == "click-Text4") {
        renamer::replacement_click(window);
    } else if (event == "option") {
        renamer::option_click(window);
    } else {
        window.set_text(text_id::Combo1, event.mid(6).toStdString());
        renamer::combo1_lost_focus(window);
        QCOMPARE(QString::fromStdString(window.text(text_id::Combo1)), messages ? QStringLiteral("*.*") : event.mid(6));
    }

    const std::string path = folder == "a" ? drives.a : folder == "b" ? drives.b : drives.sub;
    QCOMPARE(window.folder_path(), path);
    QCOMPARE(window.file_path(), path);
    QCOMPARE(window.drive(), folder == "b" ? drives.b : drives.a);
    QCOMPARE(QByteArray::fromStdString(window.text(text_id::Text2)), Text2);
    QCOMPARE(QByteArray::fromStdString(window.text(text_id::Text3)), Text3);
    QCOMPARE(QString::fromStdString(window.text(text_id::Text4)), event == "option" ? QString() : QStringLiteral("t4"));
    QString got;
    for (const auto which : {check_id::Check1, check_id::Check2, check_id::Check3})
        got += window.check_value(which) ? '1' : '0';
    QCOMPARE(got, checks);
    QCOMPARE(shown, messages);
}

QTEST_MAIN(tst_browsing)
#include "tst_browsing.moc"

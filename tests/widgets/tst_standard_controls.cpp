#include "widgets/combo_box.h"
#include "widgets/drive_list.h"
#include "widgets/file_list.h"
#include "platform/files/list_order.h"
#include "widgets/folder_list.h"
#include "widgets/progress_bar.h"
#include "widgets/shown_text.h"
#include "widgets/text_box.h"
#include "folder_fixture.h"
#include "staged_files.h"

#include <QLineEdit>
#include <QTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QTextCursor>
#include <QtTest>

namespace {

// The folders a test cannot list: the lists open their folders on it, and
// cleanup() stages nothing again.
fixture::staged_files staged;


// The first column of a row's rectangle where the view drew something other
// than its background.
int first_drawn_column(const QImage& image, const QRect& row, QRgb background)
{
    for (int x = row.left(); x <= row.right(); ++x)
        for (int y = row.top(); y <= row.bottom(); ++y)
            if (image.pixel(x, y) != background)
                return x;
    return -1;
}

} // namespace

class tst_standard_controls : public QObject {
    Q_OBJECT
private slots:
    void cleanup();

    void shown_text_maps_back_data();
    void shown_text_maps_back();

    void file_list_keeps_bytes();
    void file_list_refusals_data();
    void file_list_refusals();
    void file_list_click();

    void folder_list_rows();
    void folder_list_opening_data();
    void folder_list_opening();
    void folder_list_indents_and_icons();

    void text_box_shows_once_per_period();
    void text_box_shows_growing_list();
    void text_box_selection_is_exact_bytes_data();
    void text_box_selection_is_exact_bytes();
    void text_box_typing_and_click();

    void progress_bar_range_data();
    void progress_bar_range();

    void combo_box_lost_focus_data();
    void combo_box_lost_focus();

    void drive_of_data();
    void drive_of();
    void drive_list_change();
};

void tst_standard_controls::cleanup()
{
    staged.reset();
}

// Each row: bytes, whether CR LF is a line break, the text shown, and a
// selection in the shown text with the bytes it must give back.
void tst_standard_controls::shown_text_maps_back_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("crlf");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QByteArray>("selected");

    const QString bad(QChar(0xfffd));
    QTest::newRow("ascii") << QByteArray("abc.txt") << false << QStringLiteral("abc.txt") << 1 << 3 << QByteArray("bc");
    QTest::newRow("bytes ff fe") << QByteArray("a\xff\xfe" "b") << false << (QStringLiteral("a") + bad + bad + "b") << 1 << 3 << QByteArray("\xff\xfe");
    QTest::newRow("cut sequence") << QByteArray("x\xe7\x85y") << false << (QStringLiteral("x") + bad + bad + "y") << 2 << 4 << QByteArray("\x85y");
    QTest::newRow("overlong slash") << QByteArray("\xc0\xaf") << false << (bad + bad) << 0 << 1 << QByteArray("\xc0");
    QTest::newRow("surrogate as utf-8") << QByteArray("\xed\xa0\x80!") << false << (bad + bad + bad + "!") << 3 << 4 << QByteArray("!");
    QTest::newRow("chinese") << QByteArray("旅行照片.jpg") << false << QStringLiteral("旅行照片.jpg") << 2 << 4 << QByteArray("照片");
    QTest::newRow("outside the bmp") << QByteArray("a\xf0\x9f\x98\x80" "b") << false << QStringLiteral("a\U0001F600b") << 1 << 3 << QByteArray("\xf0\x9f\x98\x80");
    QTest::newRow("crlf as line break") << QByteArray("ab\r\ncd") << true << QStringLiteral("ab\ncd") << 1 << 4 << QByteArray("b\r\nc");
    QTest::newRow("crlf kept in one line") << QByteArray("ab\r\ncd") << false << QStringLiteral("ab\r\ncd") << 2 << 4 << QByteArray("\r\n");
    QTest::newRow("lone cr") << QByteArray("a\rb") << true << QStringLiteral("a\rb") << 1 << 2 << QByteArray("\r");
    QTest::newRow("past the end") << QByteArray("ab") << false << QStringLiteral("ab") << 1 << 9 << QByteArray("b");
}

void tst_standard_controls::shown_text_maps_back()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, crlf);
    QFETCH(QString, shown);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QByteArray, selected);

    const std::string b = fixture::str(bytes);
    QCOMPARE(widgets::shown_text(b, crlf), shown);
    const auto start = widgets::byte_offset(b, from, crlf);
    const auto end = widgets::byte_offset(b, to, crlf);
    QCOMPARE(QByteArray::fromStdString(b.substr(start, end - start)), selected);
}

void tst_standard_controls::file_list_keeps_bytes()
{
    byte_named_dir dir;
    const std::string folder = dir.path();
    // Two names that differ only in a byte that is not UTF-8 show alike but
    // must stay two entries with their own bytes.
    const std::vector<std::string> names = {"a\xff.txt", "a\xfe.txt", "b.txt", "照片.jpg"};
    for (const auto& name : names)
        fixture::write_file(folder, name, {});
    make_path(folder + "/sub");

    widgets::file_list list;
    QVERIFY(list.set_path(folder));
    QCOMPARE(list.Path(), folder);
    QCOMPARE(list.ListCount(), 4);
    std::vector<std::string> listed;
    for (int i = 0; i < list.ListCount(); ++i) {
        listed.emplace_back(*list.List(i));
        // Each row shows its own name, lossily.
        QCOMPARE(list.model()->index(i, 0).data().toString(), widgets::shown_text(listed.back()));
    }
    QVERIFY(!list.List(4));
    QVERIFY(!list.List(-1));
    auto expected = names;
    std::sort(expected.begin(), expected.end(), platform::list_order_less);
    QVERIFY(listed == expected);
    QCOMPARE(list.model()->index(0, 0).data().toString(), QStringLiteral("a\uFFFD.txt"));
    QCOMPARE(list.model()->index(1, 0).data().toString(), QStringLiteral("a\uFFFD.txt"));
}

// A folder that cannot be read, by path or by refresh, leaves the list as it
// was.
void tst_standard_controls::file_list_refusals_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("path to a folder refused") << "fault-path";
    QTest::newRow("path to a missing folder") << "missing-path";
    QTest::newRow("refresh of a folder refused") << "fault-refresh";
    QTest::newRow("refresh of a removed folder") << "removed-refresh";
}

void tst_standard_controls::file_list_refusals()
{
    QFETCH(QString, how);
    QTemporaryDir dir;
    const std::string first = dir.path().toStdString() + "/first";
    const std::string second = dir.path().toStdString() + "/second";
    make_path(first);
    make_path(second);
    fixture::write_file(first, "one.txt", {});
    fixture::write_file(second, "two.txt", {});

    widgets::file_list list(nullptr, staged);
    QVERIFY(list.set_path(first));
    fixture::write_file(first, "later.txt", {});

    bool accepted = true;
    if (how == "fault-path") {
        staged.listing_fault = ([&](const std::string& f) { return f == second; });
        accepted = list.set_path(second);
    } else if (how == "missing-path") {
        accepted = list.set_path(second + "/gone");
    } else if (how == "fault-refresh") {
        staged.listing_fault = ([&](const std::string& f) { return f == first; });
        accepted = list.Refresh();
    } else {
        QVERIFY(QDir(QString::fromStdString(first)).removeRecursively());
        accepted = list.Refresh();
    }
    QVERIFY(!accepted);
    QCOMPARE(list.Path(), first);
    QCOMPARE(list.ListCount(), 1);
    QCOMPARE(std::string(*list.List(0)), std::string("one.txt"));
    QCOMPARE(list.model()->rowCount(), 1);

    // Once readable again, a refresh sees the folder as it is now.
    staged.listing_fault = nullptr;
    if (how != "removed-refresh") {
        QVERIFY(list.Refresh());
        QCOMPARE(list.ListCount(), 2);
    }
}

void tst_standard_controls::file_list_click()
{
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString();
    fixture::write_file(folder, "a.txt", {});
    fixture::write_file(folder, "b.txt", {});
    widgets::file_list list;
    list.resize(200, 200);
    QVERIFY(list.set_path(folder));
    int clicks = 0;
    list.on_click = [&] { ++clicks; };
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));

    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(list.model()->index(1, 0)).center());
    QCOMPARE(clicks, 1);
    QCOMPARE(list.currentIndex().row(), 1);
    // Moving with the keyboard picks a file too.
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_Up);
    QCOMPARE(clicks, 2);
    QCOMPARE(list.currentIndex().row(), 0);
}

void tst_standard_controls::folder_list_rows()
{
    const auto rows = widgets::folder_rows("/home/u/photos", {"2003", "旅行"});
    const std::vector<std::tuple<std::string, std::string, int, bool>> expected = {
        {"/", "/", 0, true},
        {"/home", "home", 1, true},
        {"/home/u", "u", 2, true},
        {"/home/u/photos", "photos", 3, true},
        {"/home/u/photos/2003", "2003", 4, false},
        {"/home/u/photos/旅行", "旅行", 4, false},
    };
    QCOMPARE(rows.size(), expected.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        QCOMPARE(rows[i].path, std::get<0>(expected[i]));
        QCOMPARE(rows[i].name, std::get<1>(expected[i]));
        QCOMPARE(rows[i].level, std::get<2>(expected[i]));
        QCOMPARE(rows[i].open, std::get<3>(expected[i]));
    }
    // The root's subfolders hang from the root with one separator.
    const auto root = widgets::folder_rows("/", {"etc"});
    QCOMPARE(root.size(), std::size_t(2));
    QCOMPARE(root[1].path, std::string("/etc"));
    QCOMPARE(root[1].level, 1);
    QCOMPARE(widgets::plain_folder("/a/b//"), std::string("/a/b"));
    QCOMPARE(widgets::plain_folder("/"), std::string("/"));
}

// How the user or the program moves the folder list, and what it answers.
void tst_standard_controls::folder_list_opening_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QString>("target");   // relative to the temporary folder
    QTest::addColumn<bool>("moves");

    QTest::newRow("double-click a subfolder") << "double-click" << "top/sub" << true;
    QTest::newRow("enter on a subfolder") << "enter" << "top/sub" << true;
    QTest::newRow("double-click an ancestor") << "double-click" << "" << true;
    QTest::newRow("program writes the path") << "write" << "top/sub" << true;
    QTest::newRow("program writes the same path") << "write" << "top" << true;
    QTest::newRow("subfolder refused") << "double-click-refused" << "top/sub" << false;
    QTest::newRow("subfolder removed meanwhile") << "double-click-removed" << "top/sub" << false;
    QTest::newRow("program writes a missing path") << "write" << "top/none" << false;
}

void tst_standard_controls::folder_list_opening()
{
    QFETCH(QString, how);
    QFETCH(QString, target);
    QFETCH(bool, moves);

    QTemporaryDir dir;
    const std::string base = dir.path().toStdString();
    const std::string top = base + "/top";
    make_path(top + "/sub/deeper");
    make_path(top + "/other");
    const std::string wanted = target.isEmpty() ? base : base + "/" + target.toStdString();

    widgets::folder_list list(nullptr, staged);
    list.resize(300, 400);
    QVERIFY(list.set_path(top));
    const auto rows_before = list.rows_model().rows().size();
    int changes = 0;
    list.on_change = [&] { ++changes; };
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));

    int row = -1;
    for (std::size_t i = 0; i < list.rows_model().rows().size(); ++i)
        if (list.rows_model().rows()[i].path == wanted)
            row = int(i);
    const QModelIndex index = list.model()->index(row, 0);

    if (how == "double-click-refused")
        staged.listing_fault = ([&](const std::string& f) { return f == wanted; });
    if (how == "double-click-removed")
        QVERIFY(QDir(QString::fromStdString(wanted)).removeRecursively());

    if (how.startsWith("double-click")) {
        QVERIFY(row >= 0);
        QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, list.visualRect(index).center());
    } else if (how == "enter") {
        list.setCurrentIndex(index);
        QTest::keyClick(&list, Qt::Key_Return);
    } else {
        QCOMPARE(list.set_path(wanted), moves);
    }

    QCOMPARE(changes, moves ? 1 : 0);
    QCOMPARE(list.Path(), moves ? wanted : top);
    if (!moves)
        QCOMPARE(list.rows_model().rows().size(), rows_before);
    // The current folder is the last open row, and the one selected.
    const auto& rows = list.rows_model().rows();
    const auto current = std::find_if(rows.begin(), rows.end(), [&](const auto& r) { return r.path == list.Path(); });
    QVERIFY(current != rows.end());
    QVERIFY(current->open);
    QVERIFY(current + 1 == rows.end() || !(current + 1)->open);
    QCOMPARE(list.currentIndex().row(), int(current - rows.begin()));

    if (moves && how != "write") {
        // Going back silently, as a host does that could not follow.
        list.revert_change();
        QCOMPARE(list.Path(), top);
        QCOMPARE(list.rows_model().rows().size(), rows_before);
        QCOMPARE(changes, 1);
    }
}

void tst_standard_controls::folder_list_indents_and_icons()
{
    QTemporaryDir dir;
    const std::string top = dir.path().toStdString() + "/a";
    make_path(top + "/b");
    widgets::folder_list list;
    list.resize(300, 400);
    QVERIFY(list.set_path(top));
    list.clearSelection();
    list.setCurrentIndex({});
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));

    const QImage image = list.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRgb background = list.viewport()->palette().color(QPalette::Base).rgb();
    const int rows = list.model()->rowCount();
    QVERIFY(rows >= 3);
    int previous = -1;
    for (int r = 0; r < rows; ++r) {
        const int x = first_drawn_column(image, list.visualRect(list.model()->index(r, 0)), background);
        QVERIFY2(x > previous, qPrintable(QStringLiteral("row %1 starts at %2").arg(r).arg(x)));
        previous = x;
    }
    // Open and closed folders have pictures of their own.
    const QImage open = list.model()->index(rows - 2, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(16).toImage();
    const QImage closed = list.model()->index(rows - 1, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(16).toImage();
    QVERIFY(!open.isNull() && !closed.isNull());
    QVERIFY(open != closed);
}

void tst_standard_controls::text_box_shows_once_per_period()
{
    widgets::text_box box(widgets::text_box::kind::multi_line);
    QSignalSpy shown(box.text_editor(), &QTextEdit::textChanged);

    // A thousand changes without the event loop running: the model has them
    // all, the widget none.
    for (int i = 0; i < 1000; ++i)
        box.change_text([i](std::string& t) {
            if (!t.empty())
                t += "\r\n";
            t += "line " + std::to_string(i);
        });
    QCOMPARE(shown.count(), 0);
    QVERIFY(box.text_editor()->toPlainText().isEmpty());
    QVERIFY(box.flush_pending());
    QCOMPARE(box.Text().substr(0, 15), std::string("line 0\r\nline 1\r"));

    QTRY_VERIFY(!box.flush_pending());
    QCOMPARE(shown.count(), 1);
    QCOMPARE(box.text_editor()->document()->blockCount(), 1000);
    QCOMPARE(box.text_editor()->document()->findBlockByNumber(999).text(), QStringLiteral("line 999"));
    // Writing what is already shown shows nothing again.
    box.set_text(box.Text());
    box.flush();
    QCOMPARE(shown.count(), 1);

    // Held, changes wait in the model until the hold ends, and show then.
    box.hold_display(true);
    box.set_text("held");
    QVERIFY(!box.flush_pending());
    QCOMPARE(box.Text(), std::string("held"));
    QVERIFY(box.text_editor()->toPlainText() != QStringLiteral("held"));
    box.hold_display(false);
    QCOMPARE(box.text_editor()->toPlainText(), QStringLiteral("held"));
    QCOMPARE(shown.count(), 2);
}

void tst_standard_controls::text_box_shows_growing_list()
{
    widgets::text_box box(widgets::text_box::kind::multi_line);
    box.set_text("a\xff");
    box.flush();
    box.change_text([](std::string& t) { t += "\r\nb"; });
    box.flush();
    QCOMPARE(box.text_editor()->toPlainText(), QStringLiteral("a\uFFFD\nb"));
    QCOMPARE(box.text_editor()->document()->blockCount(), 2);
    // A list that changed otherwise is shown whole.
    box.set_text("x\r\ny");
    box.flush();
    QCOMPARE(box.text_editor()->toPlainText(), QStringLiteral("x\ny"));
    // A list that grew from a cut inside CR LF is shown whole too.
    box.set_text("p\r");
    box.flush();
    box.change_text([](std::string& t) { t += "\nq"; });
    box.flush();
    QCOMPARE(box.text_editor()->toPlainText(), QStringLiteral("p\nq"));
    box.set_text({});
    box.flush();
    QVERIFY(box.text_editor()->toPlainText().isEmpty());
}

// Selecting a piece of a shown name gives its bytes, whatever they are.
void tst_standard_controls::text_box_selection_is_exact_bytes_data()
{
    QTest::addColumn<bool>("multi");
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QByteArray>("selected");

    QTest::newRow("list, inside a name") << true << QByteArray("abc.txt\r\nx\xff\xfeyz.doc") << 8 << 11 << QByteArray("x\xff\xfe");
    QTest::newRow("list, across lines") << true << QByteArray("ab\r\ncd") << 1 << 4 << QByteArray("b\r\nc");
    QTest::newRow("list, nothing selected") << true << QByteArray("abc") << 2 << 2 << QByteArray();
    QTest::newRow("line, chinese") << false << QByteArray("旅行照片.jpg") << 2 << 4 << QByteArray("照片");
    QTest::newRow("line, bad byte") << false << QByteArray("q\xffr") << 1 << 2 << QByteArray("\xff");
}

void tst_standard_controls::text_box_selection_is_exact_bytes()
{
    QFETCH(bool, multi);
    QFETCH(QByteArray, text);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QByteArray, selected);

    widgets::text_box box(multi ? widgets::text_box::kind::multi_line : widgets::text_box::kind::single_line);
    box.set_text(fixture::str(text));
    box.flush();
    if (multi) {
        QTextCursor cursor = box.text_editor()->textCursor();
        cursor.setPosition(from);
        cursor.setPosition(to, QTextCursor::KeepAnchor);
        box.text_editor()->setTextCursor(cursor);
    } else {
        box.line_editor()->setSelection(from, to - from);
    }
    QCOMPARE(QByteArray::fromStdString(box.SelText()), selected);
    // The model keeps the exact bytes too.
    QCOMPARE(QByteArray::fromStdString(box.Text()), text);
}

void tst_standard_controls::text_box_typing_and_click()
{
    QWidget host;
    auto* list = new widgets::text_box(widgets::text_box::kind::multi_line, &host);
    auto* line = new widgets::text_box(widgets::text_box::kind::single_line, &host);
    list->setGeometry(0, 0, 200, 150);
    line->setGeometry(0, 160, 200, 24);
    int list_clicks = 0, line_clicks = 0;
    list->on_click = [&] { ++list_clicks; };
    line->on_click = [&] { ++line_clicks; };
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));

    QTest::mouseClick(line->line_editor(), Qt::LeftButton);
    QTest::sendKeyEvent(QTest::Click, line->line_editor(), Qt::Key_unknown, QStringLiteral("照片"), {});
    QCOMPARE(line->Text(), std::string("照片"));
    QCOMPARE(line_clicks, 1);
    // A one-line box shows a program's write at once, and takes typing
    // straight after it.
    line->set_text("ab");
    QCOMPARE(line->line_editor()->text(), QStringLiteral("ab"));
    QTest::keyClicks(line->line_editor(), QStringLiteral("c"));
    QCOMPARE(line->Text(), std::string("abc"));

    list->set_text("one");
    list->flush();
    QTest::mouseClick(list->text_editor()->viewport(), Qt::LeftButton, {}, QPoint(60, 8));
    QCOMPARE(list_clicks, 1);
    list->text_editor()->moveCursor(QTextCursor::End);
    QTest::keyClick(list->text_editor(), Qt::Key_Return);
    QTest::keyClicks(list->text_editor(), QStringLiteral("two"));
    // What the user typed reads back as a CR LF list.
    QCOMPARE(list->Text(), std::string("one\r\ntwo"));
    QTest::mouseClick(list->text_editor()->viewport(), Qt::RightButton, {}, QPoint(60, 8));
    QCOMPARE(list_clicks, 1);
    // Typing goes on being taken after the model was read back.
    QTest::keyClicks(list->text_editor(), QStringLiteral("!"));
    QCOMPARE(list->Text(), std::string("one\r\ntwo!"));

    // While the program holds the list, lines it adds win over typing into
    // the screen it has written past.
    list->hold_display(true);
    list->change_text([](std::string& t) { t += "\r\nthree"; });
    QTest::keyClicks(list->text_editor(), QStringLiteral("?"));
    QCOMPARE(list->Text(), std::string("one\r\ntwo!\r\nthree"));
    list->hold_display(false);
    QTRY_COMPARE(list->text_editor()->toPlainText(), QStringLiteral("one\ntwo!\nthree"));
}

// Each row: a sequence of writes ("max 5", "value 3") and the state after.
void tst_standard_controls::progress_bar_range_data()
{
    QTest::addColumn<QStringList>("writes");
    QTest::addColumn<QString>("answers");
    QTest::addColumn<double>("max");
    QTest::addColumn<double>("value");

    QTest::newRow("defaults") << QStringList() << "" << 100.0 << 0.0;
    QTest::newRow("max zero refused") << QStringList{"max 0"} << "n" << 100.0 << 0.0;
    QTest::newRow("max negative refused") << QStringList{"max -1"} << "n" << 100.0 << 0.0;
    QTest::newRow("max one kept") << QStringList{"max 1"} << "y" << 1.0 << 0.0;
    QTest::newRow("value in range") << QStringList{"max 10", "value 2.5"} << "yy" << 10.0 << 2.5;
    QTest::newRow("value at max") << QStringList{"max 10", "value 10"} << "yy" << 10.0 << 10.0;
    QTest::newRow("value past max refused") << QStringList{"max 10", "value 4", "value 11"} << "yyn" << 10.0 << 4.0;
    QTest::newRow("value below min refused") << QStringList{"value 3", "value -1"} << "yn" << 100.0 << 3.0;
    QTest::newRow("lower max pulls value in") << QStringList{"value 50", "max 20"} << "yy" << 20.0 << 20.0;
    QTest::newRow("nan refused") << QStringList{"max nan", "value nan"} << "nn" << 100.0 << 0.0;
    QTest::newRow("past 16 bits") << QStringList{"max 99999", "value 70000"} << "yy" << 99999.0 << 70000.0;
}

void tst_standard_controls::progress_bar_range()
{
    QFETCH(QStringList, writes);
    QFETCH(QString, answers);
    QFETCH(double, max);
    QFETCH(double, value);

    widgets::progress_bar bar;
    QString got;
    for (const QString& write : writes) {
        const QStringList parts = write.split(' ');
        const float number = parts[1] == "nan" ? std::nanf("") : parts[1].toFloat();
        const bool ok = parts[0] == "max" ? bar.set_max(number) : bar.set_value(number);
        got += ok ? 'y' : 'n';
    }
    QCOMPARE(got, answers);
    QCOMPARE(double(bar.Max()), max);
    QCOMPARE(double(bar.Value()), value);
    // What the bar draws follows the same value.
    QCOMPARE(bar.value(), int(std::lround(value / max * widgets::progress_bar::steps)));
}

// Which focus changes raise LostFocus.
void tst_standard_controls::combo_box_lost_focus_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<int>("raised");

    QTest::newRow("tab to the next control") << "tab" << 1;
    QTest::newRow("click into another control") << "click" << 1;
    QTest::newRow("another window takes the focus") << "window" << 0;
    QTest::newRow("own drop-down list opens") << "popup" << 0;
}

void tst_standard_controls::combo_box_lost_focus()
{
    QFETCH(QString, how);
    QFETCH(int, raised);

    QWidget host;
    auto* combo = new widgets::combo_box(&host);
    auto* next = new QLineEdit(&host);
    combo->setGeometry(0, 0, 150, 24);
    next->setGeometry(0, 40, 150, 24);
    combo->set_items({"*.*", "z.*"});
    combo->set_text("样式");
    QCOMPARE(combo->count(), 2);
    QCOMPARE(combo->Text(), std::string("样式"));
    int lost = 0;
    combo->on_lost_focus = [&] { ++lost; };
    host.show();
    QVERIFY(QTest::qWaitForWindowActive(&host));
    combo->setFocus(Qt::OtherFocusReason);
    QTRY_VERIFY(combo->hasFocus());

    QWidget other;
    if (how == "tab") {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    } else if (how == "click") {
        QTest::mouseClick(next, Qt::LeftButton);
        next->setFocus(Qt::MouseFocusReason);
    } else if (how == "window") {
        other.show();
        other.activateWindow();
        QTRY_VERIFY(QApplication::activeWindow() == &other);
    } else {
        combo->showPopup();
        QTRY_VERIFY(combo->view()->isVisible());
        combo->hidePopup();
    }
    if (raised)
        QTRY_COMPARE(lost, raised);
    // Raised from the loop after the change, once, and never again unless
    // the focus comes back and leaves once more.
    for (int i = 0; i < 20; ++i)
        QCoreApplication::processEvents();
    QCOMPARE(lost, raised);
    if (how == "tab" || how == "click") {
        QVERIFY(next->hasFocus());
        QCOMPARE(combo->count(), 2);   // leaving never adds the text as an item
    }
}

void tst_standard_controls::drive_of_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QString>("drive");
    QTest::newRow("root") << "/" << "/";
    QTest::newRow("below root") << "/home/u" << "/";
    QTest::newRow("mount point itself") << "/mnt/data" << "/mnt/data";
    QTest::newRow("inside a mount") << "/mnt/data/x" << "/mnt/data";
    QTest::newRow("prefix is not a parent") << "/mnt/database" << "/";
    QTest::newRow("nested mount wins") << "/mnt/data/deep/y" << "/mnt/data/deep";
}

void tst_standard_controls::drive_of()
{
    QFETCH(QString, folder);
    QFETCH(QString, drive);
    const std::vector<std::string> drives = {"/", "/mnt/data", "/mnt/data/deep"};
    QCOMPARE(QString::fromStdString(widgets::drive_of(folder.toStdString(), drives)), drive);
}

void tst_standard_controls::drive_list_change()
{
    QTemporaryDir dir;
    const std::string a = dir.path().toStdString() + "/a";
    const std::string b = dir.path().toStdString() + "/b";

    widgets::drive_list system_drives;
    QVERIFY(!system_drives.drives().empty());
    QCOMPARE(system_drives.drives().front(), std::string("/"));
    QCOMPARE(system_drives.count(), int(system_drives.drives().size()));

    widgets::drive_list list;
    list.set_drives({a, b}, b + "/inside");
    QCOMPARE(list.Drive(), b);
    QCOMPARE(list.currentIndex(), 1);
    int changes = 0;
    list.on_change = [&] { ++changes; };
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));

    // The user picks another drive with the keyboard.
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_Up);
    QCOMPARE(changes, 1);
    QCOMPARE(list.Drive(), a);
    QVERIFY(list.choose(a));   // the same drive again: no change
    QCOMPARE(changes, 1);
    list.revert_change();
    QCOMPARE(list.Drive(), b);
    QCOMPARE(list.currentIndex(), 1);
    QCOMPARE(changes, 1);
    QVERIFY(!list.choose("/nowhere"));
}

QTEST_MAIN(tst_standard_controls)
#include "tst_standard_controls.moc"

#include "app/application.h"
#include "app/help_window.h"
#include "app/main_window.h"
#include "engine/journal.h"

#include "platform/message_box.h"
#include "platform/test_hooks.h"
#include "folder_fixture.h"
#include "shown_form.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QtTest>

using namespace fixture;
using renamer::check_id;
using renamer::Form3;
using renamer::text_id;

namespace {

// The window shows its message once the handler has returned, from the
// message loop.
void settle()
{
    QCoreApplication::processEvents();
}

// Ctrl+Z where the user presses it: into the control that has the focus.
void press_undo(Form3& w)
{
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus && focus->window() == &w ? focus : static_cast<QWidget*>(&w), Qt::Key_Z,
                    Qt::ControlModifier);
    settle();
}

void press_Command1(Form3& w)
{
    click_at(w.Command1());
    settle();
}

void replace(Form3& w, const std::string& what, const std::string& with)
{
    w.set_text(text_id::Text3, what);
    w.set_text(text_id::Text4, with);
}

void write_journal(const std::string& text)
{
    make_path(renamer::state_folder());
    std::remove(renamer::journal_path().c_str());
    write_file(renamer::state_folder(), "journal", text);
}

} // namespace

// What the user is told after a run and an undo, on the real main window:
// the boxes go through the platform's hooks, which count them.
class tst_report_and_undo : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();

    void run_reports_refusals_data();
    void run_reports_refusals();
    void undo_restores_every_name();
    void file_created_meanwhile_is_not_replaced();
    void new_window_undoes_previous_run();
    void corrupt_journal_data();
    void corrupt_journal();
    void escaping_spares_only_printable_ascii();
    void names_are_never_markup();
    void help_keeps_its_text();

private:
    QStringList messages;
    QStringList questions;
    bool answer = true;
    std::unique_ptr<temporary_state_folder> state;
};

void tst_report_and_undo::initTestCase()
{
    // As the program names itself.
    renamer::set_up_application();
}

void tst_report_and_undo::init()
{
    // The old one first: it puts back the variable as it found it.
    state.reset();
    state = std::make_unique<temporary_state_folder>();
    messages.clear();
    questions.clear();
    answer = true;
    // A title other than the program's shows in the counts.
    const auto titled = [](const QString& text, const QString& title) {
        return title == QStringLiteral("Fennimo") ? text : title + QStringLiteral(": ") + text;
    };
    platform::set_message_box_hook([this, titled](const QString& text, const QString& title) {
        messages << titled(text, title);
    });
    platform::set_question_box_hook([this, titled](const QString& text, const QString& title) {
        questions << titled(text, title);
        return answer;
    });
}

void tst_report_and_undo::cleanup()
{
    platform::reset_test_hooks();
    state.reset();
}

// One box after a run that refused anything, none after one that did not.
void tst_report_and_undo::run_reports_refusals_data()
{
    QTest::addColumn<QByteArrayList>("files");
    QTest::addColumn<QString>("what");    // Text3, or with a '*' the pattern of Check2
    QTest::addColumn<QString>("with");
    QTest::addColumn<bool>("writable");   // the state folder
    QTest::addColumn<int>("renamed");
    QTest::addColumn<QString>("report");  // empty: no box at all

    QTest::newRow("no refusal") << QByteArrayList{"a1", "a2", "c"} << "a" << "b" << true << 2 << QString();
    QTest::newRow("collision") << QByteArrayList{"a1", "a2", "b1", "c"} << "a" << "b" << true << 1
                               << QStringLiteral("已改名 1 个文件，1 个文件未能改名。\n\n"
                                                 "目标名称已存在（1 个）：\n    a1 → b1");
    QTest::newRow("two reasons") << QByteArrayList{"1", "a1", "a2", "aa", "c"} << "a" << QString() << true << 1
                               << QStringLiteral("已改名 1 个文件，2 个文件未能改名。\n\n"
                                                 "目标名称已存在（1 个）：\n    a1 → 1\n\n"
                                                 "名称不允许使用（为空、为 . 或 ..、含有 / 或超过 255 字节）（1 个）：\n"
                                                 "    aa → ");
    QByteArrayList many;
    for (int i = 0; i < 12; ++i)
        many << "p" + QByteArray::number(i + 10);
    QTest::newRow("ten names, then …") << many << "*same" << QString() << true << 1
                               << QStringLiteral("已改名 1 个文件，11 个文件未能改名。\n\n目标名称已存在（11 个）：\n"
                                                 "    p11 → same\n    p12 → same\n    p13 → same\n    p14 → same\n"
                                                 "    p15 → same\n    p16 → same\n    p17 → same\n    p18 → same\n"
                                                 "    p19 → same\n    p20 → same\n    …");
    QTest::newRow("journal cannot be written") << QByteArrayList{"a1"} << "a" << "b" << false << 1
                               << QStringLiteral("已改名 1 个文件。\n\n无法写入撤销记录，本次改名不能撤销。");
}

void tst_report_and_undo::run_reports_refusals()
{
    QFETCH(QByteArrayList, files);
    QFETCH(QString, what);
    QFETCH(QString, with);
    QFETCH(bool, writable);
    QFETCH(int, renamed);
    QFETCH(QString, report);

    std::vector<std::string> names;
    for (const auto& f : files)
        names.push_back(str(f));
    shown_form f(names);
    Form3& w = *f.form;
    if (what.startsWith(QLatin1Char('*'))) {
        // A pattern, which may well give several files one name.
        click_at(w.option(check_id::Check2));
        w.Combo1().setCurrentText(what.mid(1));
    } else {
        replace(w, what.toStdString(), with.toStdString());
    }
    // A previous run's journal, which a run that renames must replace.
    write_journal(std::string(renamer::journal_header) + "\n/elsewhere\told\tnew\n");
    if (!writable) {
        // A file where the state folder should be: nothing can be made in
        // it, whoever runs the test.
        write_file(path_of(*f.dir), ".state", "");
        qputenv("XDG_STATE_HOME", QByteArray::fromStdString(f.folder() + "/.state"));
    }
    press_Command1(w);

    QCOMPARE(messages, report.isEmpty() ? QStringList() : QStringList{report});
    QVERIFY(!w.running());
    // The report comes after the lists: they are filled when it shows.
    QVERIFY(!w.text(text_id::Text1).empty());

    // What Ctrl+Z would now take back is this run, or nothing.
    messages.clear();
    answer = false;
    press_undo(w);
    if (writable)
        QCOMPARE(questions, QStringList{QStringLiteral("撤销上一次改名吗？\n将有 %1 个文件恢复原来的名称。").arg(renamed)});
    else
        QCOMPARE(messages, QStringList{QStringLiteral("没有可以撤销的改名。")});
}

// Every name back, byte for byte, whatever bytes it holds; the files the run
// left alone and the folder's other entries untouched. The question comes
// first, with the count; No leaves everything; a second Ctrl+Z finds nothing.
void tst_report_and_undo::undo_restores_every_name()
{
    const std::vector<std::string> names{"x.jpg", "x\xff\xfe.jpg", "x\ttab\\back.jpg", "x\nline\x01.jpg", "旅行x.jpg",
                                         "other.txt"};
    shown_form f(names);
    Form3& w = *f.form;
    make_path(f.folder() + "/sub");
    write_file(f.folder() + "/sub", "x.jpg", "in sub");
    const auto before = read_folder(f.folder());

    // Typed, as the user does; the focus stays in the text box.
    click_at(*w.text_box(text_id::Text3).line_editor());
    QTest::keyClicks(w.text_box(text_id::Text3).line_editor(), QStringLiteral("x"));
    QTest::keyClicks(w.text_box(text_id::Text4).line_editor(), QStringLiteral("y"));
    w.set_text(text_id::Text5, ".jpg");
    press_Command1(w);
    QVERIFY(messages.isEmpty());
    const auto renamed = read_folder(f.folder());
    QCOMPARE(renamed.count("旅行y.jpg"), std::size_t(1));

    answer = false;
    w.text_box(text_id::Text3).line_editor()->setFocus();
    press_undo(w);
    QCOMPARE(questions, QStringList{QStringLiteral("撤销上一次改名吗？\n将有 5 个文件恢复原来的名称。")});
    QCOMPARE(read_folder(f.folder()), renamed);
    // The key went to the undo, not to the text box's own undo of typing.
    QCOMPARE(w.text(text_id::Text3), std::string("x"));

    answer = true;
    w.set_text(text_id::Text1, "stale");
    press_undo(w);
    QCOMPARE(questions.size(), 2);
    QVERIFY(messages.isEmpty());
    QCOMPARE(describe(read_folder(f.folder())), describe(before));
    QCOMPARE(read_folder(f.folder() + "/sub"), (std::map<std::string, std::string>{{"x.jpg", "in sub"}}));
    // As after a run: the file list read again, the lists filled from it,
    // the timer off.
    std::vector<std::string> listed_now;
    for (int i = 0; i < w.File1().ListCount(); ++i)
        listed_now.emplace_back(*w.File1().List(i));
    QCOMPARE(describe_lines(listed_now), describe_lines(*platform::list_files(f.folder())));
    QCOMPARE(lines_of(w.text(text_id::Text1)).size(), std::size_t(5));
    QVERIFY(!w.Timer1().enabled());
    QVERIFY(!w.running());

    press_undo(w);
    QCOMPARE(questions.size(), 2);
    QCOMPARE(messages, QStringList{QStringLiteral("没有可以撤销的改名。")});
}

// Another program took an old name back meanwhile: its file stays, the one
// that cannot go back keeps its new name, and the report names it.
void tst_report_and_undo::file_created_meanwhile_is_not_replaced()
{
    shown_form f({"a1", "a2", "a3"});
    Form3& w = *f.form;
    replace(w, "a", "b");
    press_Command1(w);
    write_file(f.folder(), "a2", "meanwhile");

    press_undo(w);
    QCOMPARE(describe(read_folder(f.folder())), QByteArray("a1=a1;a2=meanwhile;a3=a3;b2=a2;"));
    QCOMPARE(messages, QStringList{QStringLiteral("已有 2 个文件恢复原名，1 个文件未能恢复。\n\n"
                                                  "目标名称已存在（1 个）：\n    b2 → a2")});
    // The journal is spent, refusals and all.
    press_undo(w);
    QCOMPARE(messages.last(), QStringLiteral("没有可以撤销的改名。"));
}

// The journal names its folder, so a window opened later, on any folder,
// takes back the last run of the one before.
void tst_report_and_undo::new_window_undoes_previous_run()
{
    auto first = std::make_unique<shown_form>(std::vector<std::string>{"a1", "a2"});
    const std::string folder = first->folder();
    const auto dir = std::move(first->dir);
    replace(*first->form, "a", "b");
    press_Command1(*first->form);
    first.reset();
    QCOMPARE(describe(read_folder(folder)), QByteArray("b1=a1;b2=a2;"));

    shown_form second({"z"});
    press_undo(*second.form);
    QCOMPARE(questions.size(), 1);
    QCOMPARE(describe(read_folder(folder)), QByteArray("a1=a1;a2=a2;"));
    QCOMPARE(describe(read_folder(second.folder())), QByteArray("z=z;"));
    QVERIFY(messages.isEmpty());
}

// A journal that was edited, cut off or never was one: the lines that are
// renames are undone, the others skipped and counted, and nothing crashes.
void tst_report_and_undo::corrupt_journal_data()
{
    QTest::addColumn<QByteArray>("journal"); // %1 stands for the folder
    QTest::addColumn<QString>("question");   // empty: nothing to ask
    QTest::addColumn<QString>("message");
    QTest::addColumn<QByteArray>("after");

    const QByteArray header = QByteArray(renamer::journal_header.data()) + "\n";
    QTest::newRow("bad lines among good")
        << header + "%1\ta1\tb1\n" + "two\tfields\n" + "%1\tbad \\q escape\tb2\n" + "\n" + "%1\ta3\tb3\ttoo many\n" +
               "%1\ta2\\x6\tb2\n" + "%1\ta2\tb2"
        << QStringLiteral("撤销上一次改名吗？\n将有 1 个文件恢复原来的名称。")
        << QStringLiteral("已有 1 个文件恢复原名。\n\n撤销记录中有 6 行无法读取，已跳过。")
        << QByteArray("a1=a1;b2=a2;");
    QTest::newRow("binary junk") << QByteArray("\x00\xff\x01\n\x7f\n\n\\", 8) << QString()
                                 << QStringLiteral("没有可以撤销的改名。\n\n撤销记录中有 4 行无法读取，已跳过。")
                                 << QByteArray("b1=a1;b2=a2;");
    QTest::newRow("empty") << QByteArray() << QString() << QStringLiteral("没有可以撤销的改名。")
                           << QByteArray("b1=a1;b2=a2;");
}

void tst_report_and_undo::corrupt_journal()
{
    QFETCH(QByteArray, journal);
    QFETCH(QString, question);
    QFETCH(QString, message);
    QFETCH(QByteArray, after);

    // As a run left them: each file holds its old name.
    shown_form f;
    write_file(f.folder(), "b1", "a1");
    write_file(f.folder(), "b2", "a2");
    write_journal(str(journal.replace("%1", bytes(f.folder()))));

    press_undo(*f.form);
    QCOMPARE(questions, question.isEmpty() ? QStringList() : QStringList{question});
    QCOMPARE(messages, QStringList{message});
    QCOMPARE(describe(read_folder(f.folder())), after);
    // Whatever was in it, the journal is spent.
    QVERIFY(renamer::read_journal().entries.empty());
}

// Every byte value at every place of a long name, since the journal looks at
// several bytes at once: one that needs escaping must never slip through
// among plain ones, and the name must come back exactly.
void tst_report_and_undo::escaping_spares_only_printable_ascii()
{
    for (int byte = 0; byte < 256; ++byte) {
        const char c = char(byte);
        std::string alone;
        if (c == '\\')
            alone = "\\\\";
        else if (c == '\t')
            alone = "\\t";
        else if (c == '\n')
            alone = "\\n";
        else if (c == '\r')
            alone = "\\r";
        else if (byte < 0x20 || byte >= 0x7F)
            alone = QByteArray::number(byte, 16).rightJustified(2, '0').prepend("\\x").toStdString();
        else
            alone = std::string(1, c);
        for (std::size_t at = 0; at < 24; ++at) {
            std::string name(24, 'a');
            name[at] = c;
            const std::string escaped = renamer::escape_bytes(name);
            QCOMPARE(escaped, std::string(at, 'a') + alone + std::string(23 - at, 'a'));
            std::string back;
            QVERIFY(renamer::unescape_bytes(escaped, back));
            QCOMPARE(back, name);
        }
    }
}

// A name is shown as it is, never read as markup, in the box a user sees.
void tst_report_and_undo::names_are_never_markup()
{
    const QString text = QStringLiteral("<img src=x> → <b>y</b>");
    for (const bool question : {false, true}) {
        const auto box = platform::make_box(text, question);
        QCOMPARE(box->textFormat(), Qt::PlainText);
        QCOMPARE(box->text(), text);
        QCOMPARE(box->windowTitle(), QStringLiteral("Fennimo"));
        QCOMPARE(box->buttons().size(), question ? 2 : 1);
    }
}

// The help text reads as it always did, then tells of Ctrl+Z and the report.
void tst_report_and_undo::help_keeps_its_text()
{
    const std::string before =
        "帮助说明：\r\n\r\n    您是否遇到过要将上百个文件名称复制出来的问题。\r\n\r\n"
        "    您是否遇到过要将上千个文件改名的问题本软件可以将许多文件名称替换成为您想要的字符，从而使您修改文件名称在几秒钟就可以完成。\r\n\r\n"
        "    本软件可以查找文件名称中是否有您所要更改的字符，然后将其更改。\r\n    \r\n"
        "    本软件是免费软件！可以随意拷贝使用！\r\n    \r\n    1.2.0版本在1.1.0版本基础上加强了稳定性！\r\n\r\n\r\n"
        "本软件作者：\r\n    Fennimo 开发者\r\n    意见与建议请寄往本软件的发布页面。\r\n    欢迎试用同一作者的其他软件！\r\n";
    const std::string text = renamer::help_text();
    QVERIFY(text.starts_with(before));
    const std::string added = text.substr(before.size());
    QVERIFY(added.find("Ctrl+Z") != std::string::npos);
    QVERIFY(added.find("报告") != std::string::npos);
}

QTEST_MAIN(tst_report_and_undo)
#include "tst_report_and_undo.moc"

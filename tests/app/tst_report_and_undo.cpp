#include "app/application.h"
#include "app/help_window.h"
#include "app/main_window.h"
#include "core/journal.h"
#include "core/undo.h"

#include "platform/files/folder_reading.h"
#include "platform/files/listed_folder.h"
#include "platform/files/run_store.h"
#include "platform/toolkit/message_box.h"
#include "folder_fixture.h"
#include "running_child.h"
#include "shown_form.h"
#include "scripted_boxes.h"

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QRandomGenerator>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <linux/capability.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

using namespace fixture;
using renamer::check_id;
using renamer::Form3;
using renamer::text_id;

namespace {

// The boxes the windows report and ask in, which each test answers; cleanup()
// gives them back to the toolkit.
fixture::scripted_boxes boxes;

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
    // The undo goes in slices, like a run; it has ended when the key's
    // work is seen.
    finish_run(w);
    settle();
}

void press_Command1(Form3& w)
{
    click_at(w.Command1());
    finish_run(w);
    settle();
}

void replace(Form3& w, const std::string& what, const std::string& with)
{
    w.set_text(text_id::Text3, what);
    w.set_text(text_id::Text4, with);
}

// The question Ctrl+Z asks before it takes back `count` files of `folder`.
QString question_for(int count, const std::string& folder)
{
    return QStringLiteral("撤销上一次改名吗？\n将有 %1 个文件恢复原来的名称。\n文件夹：%2")
        .arg(count)
        .arg(QString::fromStdString(folder));
}

struct finished {
    int code = -1;
    bool signalled = false;
    QByteArray out, err;
};

// Whether the program keeps root's power to open a file whatever its mode,
// or runs, even as root, with only its owner's rights to a file.
enum class powers { kept, owners_only };

// The exit status of a child whose kernel would not let a power go.
constexpr int overrides_kept_status = 77;

// Run in the child before it becomes the program. Root keeps no power that
// it could pass on: the bounding set loses both overrides and the inherited
// set empties, so the program starts without them.
void give_up_overrides()
{
    if (::geteuid() != 0)
        return;
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3]{};
    bool done = ::prctl(PR_CAPBSET_DROP, CAP_DAC_OVERRIDE, 0, 0, 0) == 0 &&
                ::prctl(PR_CAPBSET_DROP, CAP_DAC_READ_SEARCH, 0, 0, 0) == 0 &&
                ::syscall(SYS_capget, &header, data) == 0;
    for (auto& set : data)
        set.inheritable = 0;
    done = done && ::syscall(SYS_capset, &header, data) == 0;
    if (!done)
        ::_exit(overrides_kept_status);
}

// The real program, as a user runs it, with no display and no terminal.
void start_fennimo(QProcess& process, const QStringList& arguments, powers kept = powers::kept)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(environment);
    if (kept == powers::owners_only)
        process.setChildProcessModifier(give_up_overrides);
    process.setWorkingDirectory(QStringLiteral("/"));
    process.start(QStringLiteral(FENNIMO_PROGRAM), arguments);
    if (!process.waitForStarted())
        qFatal("fennimo did not start");
}

finished wait_for(QProcess& process)
{
    if (!process.waitForFinished(120000))
        qFatal("fennimo did not finish");
    return {process.exitCode(), process.exitStatus() != QProcess::NormalExit, process.readAllStandardOutput(),
            process.readAllStandardError()};
}

finished fennimo(const QStringList& arguments, powers kept = powers::kept)
{
    QProcess process;
    start_fennimo(process, arguments, kept);
    return wait_for(process);
}

QString path_argument(const std::string& path)
{
    return QFile::decodeName(bytes(path));
}

std::vector<std::string> numbered(const char* prefix, int count)
{
    std::vector<std::string> names;
    for (int i = 0; i < count; ++i)
        names.push_back(prefix + QByteArray::number(i).rightJustified(5, '0').toStdString());
    return names;
}

// How many names of the folder start with `prefix`, and how many entries
// it has in all.
std::pair<int, int> count_names(const std::string& folder, char prefix)
{
    int matching = 0, all = 0;
    const auto names = platform::list_files(folder);
    for (const auto& name : *names) {
        ++all;
        matching += name.front() == prefix;
    }
    return {matching, all};
}

std::string newest_journal()
{
    const auto files = renamer::journal_files();
    return files.empty() ? std::string() : files.back();
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
    void undo_that_cannot_finish_keeps_the_rest();
    void each_undo_takes_back_one_run_more();
    void folder_stays_while_a_run_goes();
    void close_completes_the_journal();
    void unsafe_journal_is_refused_data();
    void unsafe_journal_is_refused();
    void undo_only_in_the_same_folder_data();
    void undo_only_in_the_same_folder();
    void folder_swapped_during_the_undo();
    void run_ended_at_any_moment_data();
    void run_ended_at_any_moment();
    void two_runs_at_once();
    void running_run_and_old_journals();
    void run_without_journal_blocks_older_undo();
    void journal_stopped_by_a_size_limit();
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
    boxes.on_message = ([this, titled](const QString& text, const QString& title) {
        messages << titled(text, title);
    });
    boxes.on_question = ([this, titled](const QString& text, const QString& title) {
        questions << titled(text, title);
        return answer;
    });
}

void tst_report_and_undo::cleanup()
{
    boxes.reset();
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
    shown_form f(names, boxes);
    Form3& w = *f.form;
    if (what.startsWith(QLatin1Char('*'))) {
        // A pattern, which may well give several files one name.
        click_at(w.option(check_id::Check2));
        w.Combo1().setCurrentText(what.mid(1));
    } else {
        replace(w, what.toStdString(), with.toStdString());
    }
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
        QCOMPARE(questions, QStringList{question_for(renamed, f.folder())});
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
    shown_form f(names, boxes);
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
    // In a text box the key takes back the typing, as in every editor, and
    // asks nothing; elsewhere in the window it takes back the run.
    w.text_box(text_id::Text3).line_editor()->setFocus();
    press_undo(w);
    QVERIFY(questions.isEmpty());
    QCOMPARE(w.text(text_id::Text3), std::string());
    w.Command1().setFocus();
    press_undo(w);
    QCOMPARE(questions, QStringList{question_for(5, f.folder())});
    QCOMPARE(read_folder(f.folder()), renamed);

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
// that cannot go back keeps its new name, and the report names it. What
// could not be put back stays in the journal, and the next Ctrl+Z, once
// the name is free, puts it back.
void tst_report_and_undo::undo_that_cannot_finish_keeps_the_rest()
{
    shown_form f({"a1", "a2", "a3"}, boxes);
    Form3& w = *f.form;
    replace(w, "a", "b");
    press_Command1(w);
    write_file(f.folder(), "a2", "meanwhile");

    press_undo(w);
    QCOMPARE(describe(read_folder(f.folder())), QByteArray("a1=a1;a2=meanwhile;a3=a3;b2=a2;"));
    QCOMPARE(messages, QStringList{QStringLiteral("已有 2 个文件恢复原名，1 个文件未能恢复。\n\n"
                                                  "目标名称已存在（1 个）：\n    b2 → a2")});
    QCOMPARE(renamer::read_journal(newest_journal()).state, renamer::run_state::partly_undone);

    std::remove((f.folder() + "/a2").c_str());
    messages.clear();
    press_undo(w);
    QCOMPARE(questions.last(), question_for(1, f.folder()) + QStringLiteral("\n上次撤销没有全部完成：这次撤销剩下的改名。"));
    QCOMPARE(describe(read_folder(f.folder())), QByteArray("a1=a1;a2=a2;a3=a3;"));
    QVERIFY(messages.isEmpty());
    QCOMPARE(renamer::read_journal(newest_journal()).state, renamer::run_state::undone);
}

// Ctrl+Z takes back the newest run not yet undone, and the next one the run
// before, even from a window opened later on another folder. Files that an
// undo cut short had put back already count as put back.
void tst_report_and_undo::each_undo_takes_back_one_run_more()
{
    auto first = std::make_unique<shown_form>(std::vector<std::string>{"a1", "a2", "a3"}, boxes);
    const std::string folder = first->folder();
    const auto dir = std::move(first->dir);
    replace(*first->form, "a", "b");
    press_Command1(*first->form);
    replace(*first->form, "b", "c");
    press_Command1(*first->form);
    first.reset();
    QCOMPARE(describe(read_folder(folder)), QByteArray("c1=a1;c2=a2;c3=a3;"));
    // An undo killed after its first rename back.
    QVERIFY(::rename((folder + "/c3").c_str(), (folder + "/b3").c_str()) == 0);

    shown_form second({"z"}, boxes);
    press_undo(*second.form);
    QCOMPARE(describe(read_folder(folder)), QByteArray("b1=a1;b2=a2;b3=a3;"));
    QVERIFY(messages.isEmpty());
    press_undo(*second.form);
    QCOMPARE(describe(read_folder(folder)), QByteArray("a1=a1;a2=a2;a3=a3;"));
    QCOMPARE(questions.size(), 2);
    QVERIFY(messages.isEmpty());
    press_undo(*second.form);
    QCOMPARE(messages, QStringList{QStringLiteral("没有可以撤销的改名。")});
    QCOMPARE(describe(read_folder(second.folder())), QByteArray("z=z;"));
}

// A change of folder while a run goes is refused: the run renames the
// folder it started in, all of it, and nothing of the other.
void tst_report_and_undo::folder_stays_while_a_run_goes()
{
    shown_form f({"a1", "a2", "a3", "a4"}, boxes);
    Form3& w = *f.form;
    make_path(f.folder() + "/sub");
    make_files(f.folder() + "/sub", {"a5", "a6", "a7", "a8"});
    replace(w, "a", "b");
    // The click makes the run's first step, its first file; a click through
    // the window would let the loop turn, and the run end meanwhile.
    w.Command1().click();
    QVERIFY(w.running());
    w.Dir1().set_path(f.folder() + "/sub");
    const bool refused = w.Dir1().Path() == f.folder() && w.File1().Path() == f.folder();
    finish_run(w);
    QVERIFY(refused);
    QCOMPARE(describe(read_folder(f.folder() + "/sub")), QByteArray("a5=a5;a6=a6;a7=a7;a8=a8;"));
    QCOMPARE(count_names(f.folder(), 'b'), std::make_pair(4, 4));
}

// The window closed in the middle of a run: its journal is ended there and
// then, with every rename made so far.
void tst_report_and_undo::close_completes_the_journal()
{
    shown_form f(numbered("a", 40), boxes);
    Form3& w = *f.form;
    replace(w, "a", "b");
    // The click makes the run's first step; the window closes before the
    // loop gives it the next.
    w.Command1().click();
    QVERIFY(w.running());
    w.close();
    QVERIFY(!w.running());
    const auto journal = renamer::read_journal(newest_journal());
    QCOMPARE(journal.state, renamer::run_state::interrupted);
    QCOMPARE(int(journal.text.entries.size()), count_names(f.folder(), 'b').first);
    // Nothing goes on renaming once the window is closed.
    settle();
    QCOMPARE(count_names(f.folder(), 'b').first, 1);
    QCOMPARE(int(renamer::read_journal(newest_journal()).text.entries.size()), 1);
}

// A journal that is not a regular file of the user, or holds a name that is
// not a plain name, is refused with a word of why; it is never written,
// emptied or removed, and no file moves. A run made meanwhile does not
// write into it either.
void tst_report_and_undo::unsafe_journal_is_refused_data()
{
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<QByteArray>("message");
    QTest::newRow("link") << QByteArray("link") << QByteArray("链接");
    QTest::newRow("FIFO") << QByteArray("fifo") << QByteArray("不是普通文件");
    QTest::newRow("folder") << QByteArray("folder") << QByteArray("不是普通文件");
    QTest::newRow("unreadable") << QByteArray("unreadable") << QByteArray("无法打开");
    QTest::newRow("name with a slash") << QByteArray("r\t1\tsub/q\tb1") << QByteArray("已损坏");
    QTest::newRow("parent") << QByteArray("r\t1\t..\tb1") << QByteArray("已损坏");
    QTest::newRow("not a journal") << QByteArray("text") << QByteArray("已损坏");
}

void tst_report_and_undo::unsafe_journal_is_refused()
{
    QFETCH(QByteArray, kind);
    QFETCH(QByteArray, message);
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"a1", "sub"});
    std::remove((folder + "/sub").c_str());
    make_path(folder + "/sub");
    write_file(folder + "/sub", "q", "q");
    QCOMPARE(fennimo({"--replace", "a", "b", path_argument(folder)}).code, 0);
    const std::string real = newest_journal();
    struct stat st {};
    QVERIFY(::stat(folder.c_str(), &st) == 0);
    const std::string valid = file_content(real);

    // Numbered to be the newest.
    const std::string planted_name = "journal-09999999999999999999";
    const std::string planted = renamer::runs_folder() + "/" + planted_name;
    const std::string victim = path_of(*dir) + "/../victim-" + std::to_string(getpid());
    if (kind == "link") {
        write_file(path_of(*dir) + "/..", "victim-" + std::to_string(getpid()), valid);
        QVERIFY(::symlink(victim.c_str(), planted.c_str()) == 0);
    } else if (kind == "fifo") {
        QVERIFY(::mkfifo(planted.c_str(), 0600) == 0);
    } else if (kind == "folder") {
        make_path(planted);
    } else if (kind == "unreadable") {
        write_file(renamer::runs_folder(), planted_name, valid);
        QVERIFY(::chmod(planted.c_str(), 0) == 0);
    } else if (kind == "text") {
        write_file(renamer::runs_folder(), planted_name, "notes\n");
    } else {
        write_file(renamer::runs_folder(), planted_name,
                   valid.substr(0, valid.find("\nr\t") + 1) + str(kind) + "\n");
    }
    struct stat planted_before {};
    QVERIFY(::lstat(planted.c_str(), &planted_before) == 0);
    const std::string planted_content = S_ISREG(planted_before.st_mode) ? file_content(planted) : std::string();

    // A run and an undo of it go ahead around the planted entry, the run
    // numbered after it; the next undo meets it. A damaged journal blocks
    // only itself: that undo goes on to the run before it and names the
    // file; any other entry is refused.
    make_files(folder, {"c1"});
    QCOMPARE(fennimo({"--replace", "c", "d", path_argument(folder)}).code, 0);
    QCOMPARE(fennimo({"--undo", "--yes"}).code, 0);
    QVERIFY(read_folder(folder).count("c1") == 1);
    const bool damaged = message == "已损坏";
    if (damaged) {
        const renamer::run_undo undo;
        QVERIFY(undo.ready());
        QVERIFY(undo.question().find(message.toStdString()) != std::string::npos);
        QVERIFY(undo.question().find(planted_name) != std::string::npos);
    }
    // Root, which CI runs as, would read the unreadable journal, and so
    // the undo goes with only the rights a user has to a file.
    const finished undo = fennimo({"--undo", "--yes"}, powers::owners_only);
    if (undo.code == overrides_kept_status)
        QSKIP("this kernel does not let root give up its power to read any file");
    QCOMPARE(undo.code, damaged ? 0 : 1);
    if (!damaged)
        QVERIFY2(undo.err.contains(message), undo.err.constData());
    QCOMPARE(describe(read_folder(folder + "/sub")), QByteArray("q=q;"));
    QCOMPARE(read_folder(folder).count(damaged ? "a1" : "b1"), std::size_t(1));

    struct stat planted_after {};
    QVERIFY(::lstat(planted.c_str(), &planted_after) == 0);
    // Set to the user alone, at most.
    QCOMPARE(planted_after.st_mode & S_IFMT, planted_before.st_mode & S_IFMT);
    if (S_ISREG(planted_after.st_mode))
        QCOMPARE(file_content(planted), planted_content);
    if (kind == "link") {
        QCOMPARE(file_content(victim), valid);
        std::remove(victim.c_str());
    }
    if (kind == "folder")
        ::rmdir(planted.c_str());
}

// The undo takes a run back only in the very folder it renamed in: a folder
// moved away, whatever took its path meanwhile, is refused, and the refusal
// says where the folder was.
void tst_report_and_undo::undo_only_in_the_same_folder_data()
{
    QTest::addColumn<QByteArray>("replacement");
    QTest::newRow("a link to another folder") << QByteArray("link");
    QTest::newRow("a new folder") << QByteArray("folder");
    QTest::newRow("nothing") << QByteArray();
}

void tst_report_and_undo::undo_only_in_the_same_folder()
{
    QFETCH(QByteArray, replacement);
    const auto dir = make_folder();
    const std::string real = path_of(*dir) + "/real", moved = path_of(*dir) + "/moved",
                      other = path_of(*dir) + "/other";
    make_path(real);
    make_path(other);
    make_files(real, {"f1"});
    make_files(other, {"g1"});
    QCOMPARE(fennimo({"--replace", "f", "g", path_argument(real)}).code, 0);
    QVERIFY(::rename(real.c_str(), moved.c_str()) == 0);
    if (replacement == "link")
        QVERIFY(::symlink(other.c_str(), real.c_str()) == 0);
    else if (replacement == "folder")
        make_path(real);

    const finished undo = fennimo({"--undo", "--yes"});
    QCOMPARE(undo.code, 1);
    QVERIFY2(undo.err.contains(bytes(real)), undo.err.constData());
    QCOMPARE(describe(read_folder(other)), QByteArray("g1=g1;"));
    QCOMPARE(describe(read_folder(moved)), QByteArray("g1=f1;"));
}

// The folder swapped with another while the undo goes: every rename back
// still happens in the folder of the run, none in the other.
void tst_report_and_undo::folder_swapped_during_the_undo()
{
    const auto dir = make_folder();
    const std::string real = path_of(*dir) + "/real", other = path_of(*dir) + "/other";
    make_path(real);
    make_path(other);
    make_files(real, {"f1", "f2", "f3"});
    make_files(other, {"g1", "g2", "g3"});
    QCOMPARE(fennimo({"--replace", "f", "g", path_argument(real)}).code, 0);

    renamer::run_undo undo;
    QVERIFY(undo.ready());
    bool swapped = false;
    const auto outcomes = undo.take_back([&](std::int32_t) {
        if (!std::exchange(swapped, true))
            QVERIFY(::renameat2(AT_FDCWD, real.c_str(), AT_FDCWD, other.c_str(), RENAME_EXCHANGE) == 0);
    });
    QCOMPARE(outcomes.renamed, std::size_t(3));
    QCOMPARE(describe(read_folder(other)), QByteArray("f1=f1;f2=f2;f3=f3;"));
    QCOMPARE(describe(read_folder(real)), QByteArray("g1=g1;g2=g2;g3=g3;"));
}

// A command-line run ended by a kill or a signal at some point: its journal,
// written ahead of each move, holds every rename made, a signal ends the
// journal as stopped, the undo's question says that the run was cut short,
// and the undo puts back every file, the one in flight included.
void tst_report_and_undo::run_ended_at_any_moment_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<double>("at"); // the share of the journal written by then
    QTest::newRow("kill early") << int(SIGKILL) << 0.1;
    QTest::newRow("kill halfway") << int(SIGKILL) << 0.5;
    QTest::newRow("kill late") << int(SIGKILL) << 0.9;
    QTest::newRow("TERM") << int(SIGTERM) << 0.4;
    QTest::newRow("INT") << int(SIGINT) << 0.6;
    QTest::newRow("HUP") << int(SIGHUP) << 0.7;
}

void tst_report_and_undo::run_ended_at_any_moment()
{
    QFETCH(int, signal);
    QFETCH(double, at);
    constexpr int files = 20000;
    const auto dir = make_folder(true);
    const std::string folder = path_of(*dir);
    make_files(folder, numbered("a", files));

    // Each line is "r TAB inode TAB a00000 TAB b00000 LF"; the point varies
    // a little from one run of the test to the next.
    const std::size_t line = 24;
    const auto point = std::size_t(100 + line * std::size_t(files * at) +
                                   line * QRandomGenerator::global()->bounded(files / 20));
    std::string journal;
    // On a busy machine the run may end before this process sees the point
    // pass; it is then taken back and tried again.
    for (int attempt = 0; attempt < 5; ++attempt) {
        const std::size_t kept = renamer::journal_files().size();
        QProcess process;
        start_fennimo(process, {"--replace", "a", "b", path_argument(folder)});
        QVERIFY2(seen_while_running(process, [&] { return renamer::journal_files().size() != kept; }),
                 "the run ended before it wrote its journal");
        journal = newest_journal();
        const int fd = ::open(journal.c_str(), O_RDONLY);
        QVERIFY(fd >= 0);
        // Read, not mapped: a run that ends first cuts its journal short,
        // and a mapping past the end would fault here.
        char watched = 0;
        seen_while_running(process, [&] { return ::pread(fd, &watched, 1, off_t(point)) == 1 && watched != 0; });
        ::kill(pid_t(process.processId()), signal);
        const finished ended = wait_for(process);
        ::close(fd);
        if (ended.signalled)
            break;
        QCOMPARE(fennimo({"--undo", "--yes"}).code, 0);
    }

    const int renamed = count_names(folder, 'b').first;
    QVERIFY2(renamed > 0 && renamed < files, qPrintable(QString::number(renamed)));
    const auto record = renamer::read_journal(journal);
    QVERIFY2(record.usable(), renamer::journal_problem_text(record).c_str());
    QCOMPARE(record.state, renamer::run_state::interrupted);
    QVERIFY(int(record.text.entries.size()) >= renamed);
    QCOMPARE(file_content(journal).find("\nend\tstopped\t") != std::string::npos, signal != SIGKILL);
    {
        const renamer::run_undo undo;
        QVERIFY(undo.question().find("被中断") != std::string::npos);
    }

    const finished undo = fennimo({"--undo", "--yes"});
    QCOMPARE(undo.code, 0);
    const auto [original, all] = count_names(folder, 'a');
    QCOMPARE(all, files);
    QCOMPARE(original, files);
}

// Two runs at once each keep a journal of their own, for the user alone;
// the history lists both, and two undos take both back. An undo with no
// terminal to ask on and no --yes changes nothing.
void tst_report_and_undo::two_runs_at_once()
{
    constexpr int files = 20000;
    const auto one = make_folder(true), two = make_folder(true);
    make_files(path_of(*one), numbered("a", files));
    make_files(path_of(*two), numbered("a", files));
    QProcess first, second;
    start_fennimo(first, {"--replace", "a", "b", path_argument(path_of(*one))});
    start_fennimo(second, {"--replace", "a", "c", path_argument(path_of(*two))});
    QCOMPARE(wait_for(first).code, 0);
    QCOMPARE(wait_for(second).code, 0);

    const auto runs = renamer::run_history();
    QCOMPARE(runs.size(), std::size_t(2));
    for (const auto& run : runs) {
        QCOMPARE(run.state, renamer::run_state::complete);
        QCOMPARE(run.files, std::uint64_t(files));
        struct stat st {};
        QVERIFY(::stat(run.path.c_str(), &st) == 0 && (st.st_mode & 07777) == 0600);
    }
    struct stat st {};
    QVERIFY(::stat(renamer::runs_folder().c_str(), &st) == 0 && (st.st_mode & 07777) == 0700);
    QVERIFY(::stat(platform::state_folder().c_str(), &st) == 0 && (st.st_mode & 07777) == 0700);
    const finished history = fennimo({"--history"});
    QCOMPARE(history.out.count("已完成  20000 个文件"), 2);

    const finished unasked = fennimo({"--undo"});
    QCOMPARE(unasked.code, 2);
    QCOMPARE(fennimo({"--undo", "--yes"}).code, 0);
    QCOMPARE(fennimo({"--undo", "--yes"}).code, 0);
    QCOMPARE(count_names(path_of(*one), 'a').first, files);
    QCOMPARE(count_names(path_of(*two), 'a').first, files);
    QCOMPARE(fennimo({"--history"}).out.count("已撤销"), 2);
}

// A run that is still going holds its journal, and an undo of it is
// refused. Only the newest journals are kept.
void tst_report_and_undo::running_run_and_old_journals()
{
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"b1"});
    const platform::open_folder held(folder);
    const auto journal_one = [&](renamer::journal_writer& writer, const std::string& to) {
        writer.rename_in(folder, held.descriptor());
        writer.moving(1, "x", to);
    };
    {
        renamer::journal_writer going;
        journal_one(going, "b1");
        const finished undo = fennimo({"--undo", "--yes"});
        QCOMPARE(undo.code, 1);
        QVERIFY2(undo.err.contains("仍在进行"), undo.err.constData());
        QCOMPARE(describe(read_folder(folder)), QByteArray("b1=b1;"));
    }
    for (std::size_t k = 0; k < renamer::runs_kept + 2; ++k) {
        renamer::journal_writer writer;
        journal_one(writer, "y" + std::to_string(k));
    }
    const auto runs = renamer::run_history();
    QCOMPARE(runs.size(), renamer::runs_kept);
    QCOMPARE(renamer::read_journal(runs.back().path).text.entries.back().new_name,
             "y" + std::to_string(renamer::runs_kept + 1));
}

// A run that could not keep a journal says so, and an undo then refuses to
// take back the run before it, which the unjournalled one came after.
void tst_report_and_undo::run_without_journal_blocks_older_undo()
{
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"a1"});
    QCOMPARE(fennimo({"--replace", "a", "b", path_argument(folder)}).code, 0);
    // No file of more than a block may be written: the journal cannot be
    // made, whoever runs the test.
    QProcess limited;
    limited.setProgram(QStringLiteral("sh"));
    limited.setArguments({"-c", "ulimit -f 1; exec \"$0\" --replace b c \"$1\"",
                          QStringLiteral(FENNIMO_PROGRAM), path_argument(folder)});
    limited.start();
    const finished second = wait_for(limited);
    QCOMPARE(second.code, 0);
    QVERIFY2(second.err.contains("不能撤销"), second.err.constData());
    QCOMPARE(describe(read_folder(folder)), QByteArray("c1=a1;"));

    const finished undo = fennimo({"--undo", "--yes"});
    QCOMPARE(undo.code, 1);
    QVERIFY2(undo.err.contains("未能记录"), undo.err.constData());
    QCOMPARE(describe(read_folder(folder)), QByteArray("c1=a1;"));
}

// A journal that meets a limit on the size of files in the middle of a run
// fails alone: the run renames every file and says it cannot be undone, and
// the journal ends after its last whole line.
void tst_report_and_undo::journal_stopped_by_a_size_limit()
{
    constexpr int files = 12000;
    const auto dir = make_folder(true);
    const std::string folder = path_of(*dir);
    // Lines of about 200 bytes: the journal's room grows from 1 MB to 2 MB,
    // and its next step, past the limit of 2.25 MB, fails at about 10,000
    // files.
    std::vector<std::string> names = numbered("a", files);
    for (auto& name : names)
        name += std::string(94, 'n');
    make_files(folder, names);
    QProcess process;
    process.setChildProcessModifier([] {
        const rlimit limit{rlim_t(9) << 18, rlim_t(9) << 18};
        ::setrlimit(RLIMIT_FSIZE, &limit);
    });
    start_fennimo(process, {"--replace", "a", "b", path_argument(folder)});
    const finished run = wait_for(process);
    QVERIFY(!run.signalled);
    QCOMPARE(run.code, 0);
    QVERIFY2(run.err.contains("不能撤销"), run.err.constData());
    QCOMPARE(count_names(folder, 'b').first, files);

    const auto record = renamer::read_journal(newest_journal());
    QVERIFY2(record.usable(), renamer::journal_problem_text(record).c_str());
    QCOMPARE(record.state, renamer::run_state::incomplete);
    const auto& entries = record.text.entries;
    QVERIFY2(entries.size() > files / 2 && entries.size() < files, qPrintable(QString::number(entries.size())));
    for (const auto& entry : entries)
        QVERIFY(entry.old_name.size() == 100 && entry.new_name == "b" + entry.old_name.substr(1));
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

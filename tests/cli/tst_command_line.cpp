// The program run as a process over temporary folders, as a user or a
// script runs it: every run here has neither DISPLAY nor QT_QPA_PLATFORM,
// so each one also shows that the command line needs no display.

#include "headless_window.h"
#include "form/browsing.h"
#include "core/journal.h"
#include "form/window_runs.h"


#include "folder_fixture.h"
#include "scripted_boxes.h"

#include <QProcess>
#include <QtTest>

using namespace fixture;

namespace {

struct finished {
    int code = -1;
    QByteArray out, err;
};

QProcessEnvironment without_display()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QString::fromLatin1(name));
    return environment;
}

finished run_process(const QString& program, const QStringList& arguments, const std::string& folder)
{
    QProcess process;
    process.setProcessEnvironment(without_display());
    process.setWorkingDirectory(QFile::decodeName(bytes(folder)));
    process.start(program, arguments);
    if (!process.waitForFinished(120000) || process.exitStatus() != QProcess::NormalExit)
        qFatal("fennimo did not finish");
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

finished fennimo(const QStringList& arguments, const std::string& folder)
{
    return run_process(QStringLiteral(FENNIMO_PROGRAM), arguments, folder);
}

// The same, with a terminal for its input and output: `script` runs it on a
// pseudo-terminal and passes on what it wrote, standard error included.
finished fennimo_on_terminal(const QStringList& arguments, const std::string& folder)
{
    QString command = QStringLiteral("'%1'").arg(QStringLiteral(FENNIMO_PROGRAM));
    for (const QString& argument : arguments)
        command += QStringLiteral(" '%1'").arg(argument);
    return run_process(QStringLiteral("script"), {"-qec", command, "/dev/null"}, folder);
}

// One file of a plan: its old name, its new name, and why it is refused
// (empty when it is renamed).
using planned = std::array<std::string, 3>;

std::vector<planned> triples(const QByteArray& out)
{
    std::vector<planned> plan;
    // Every field ends in a NUL, so the split ends in an empty piece.
    const QList<QByteArray> fields = out.split('\0');
    for (qsizetype i = 0; i + 3 < fields.size(); i += 3)
        plan.push_back({str(fields[i]), str(fields[i + 1]), str(fields[i + 2])});
    return plan;
}

QByteArray text_plan(const std::vector<planned>& plan)
{
    QByteArray out;
    for (const auto& [old_name, new_name, reason] : plan)
        out += bytes(old_name) + " → " + bytes(new_name) + (reason.empty() ? "" : "（" + bytes(reason) + "）") + "\n";
    return out;
}

const std::string exists = "目标名称已存在";

} // namespace

Q_DECLARE_METATYPE(std::vector<planned>)

class tst_command_line : public QObject {
    Q_OBJECT
private slots:
    void plan_then_run_data();
    void plan_then_run();
    void bad_usage_data();
    void bad_usage();
    void undo_of_the_windows_run();
    void folder_through_a_link();
    void help_fits_a_terminal();
    void pipe_and_terminal_data();
    void pipe_and_terminal();
    void output_that_fails_data();
    void output_that_fails();
};

void tst_command_line::plan_then_run_data()
{
    QTest::addColumn<std::vector<std::string>>("names");
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<std::vector<planned>>("plan");
    QTest::addColumn<int>("code");

    QTest::newRow("replace, one name taken") << std::vector<std::string>{"a1.txt", "a2.txt", "b1.txt"}
        << QStringList{"--replace", "a", "b"}
        << std::vector<planned>{{"a1.txt", "b1.txt", exists}, {"a2.txt", "b2.txt", ""}} << 1;
    QTest::newRow("pattern after a filter; the index counts skipped files")
        << std::vector<std::string>{"x.jpg", "y.txt", "z.jpg"}
        << QStringList{"--must-not-contain", "txt", "--pattern", " *.jpg"}
        << std::vector<planned>{{"x.jpg", "0.jpg", ""}, {"z.jpg", "2.jpg", ""}} << 0;
    QTest::newRow("a name freed earlier in the run is free") << std::vector<std::string>{"1.txt", "2.txt"}
        << QStringList{"--pattern", "*.txt"}
        << std::vector<planned>{{"1.txt", "0.txt", ""}, {"2.txt", "1.txt", ""}} << 0;
    QTest::newRow("extension before strip, as in the window") << std::vector<std::string>{"a.tar.gz", "README"}
        << QStringList{"--strip-extension", "--extension", " md "}
        << std::vector<planned>{{"a.tar.gz", "a.md", ""}, {"README", "README.md", ""}} << 0;
    QTest::newRow("a hidden file takes its name too") << std::vector<std::string>{".y", "x"}
        << QStringList{"--replace", "x", ".y"} << std::vector<planned>{{"x", ".y", exists}} << 1;
    QTest::newRow("names are bytes") << std::vector<std::string>{"\xff\x1b[31mred.txt", "new\nline.txt"}
        << QStringList{"--replace", ".txt", ".log", "--must-contain", "e"}
        << std::vector<planned>{{"new\nline.txt", "new\nline.log", ""}, {"\xff\x1b[31mred.txt", "\xff\x1b[31mred.log", ""}}
        << 0;
}

// The plan of a dry run is exactly what the run then does: the same renames
// (the journal's), the same refusals in the same order, the same status. A
// run whose renames cannot meet may make them in the folder's own order.
void tst_command_line::plan_then_run()
{
    QFETCH(std::vector<std::string>, names);
    QFETCH(QStringList, arguments);
    QFETCH(std::vector<planned>, plan);
    QFETCH(int, code);
    temporary_state_folder state;
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, names);
    const auto before = read_folder(folder);

    const finished null_plan = fennimo(arguments + QStringList{"--dry-run", "-0"}, folder);
    QCOMPARE(null_plan.code, code);
    QCOMPARE(triples(null_plan.out), plan);
    const finished text = fennimo(arguments + QStringList{"--dry-run"}, folder);
    QCOMPARE(text.out, text_plan(plan));
    // No FOLDER was given: the first line says where the plan is made.
    QVERIFY(text.err.startsWith("改名的文件夹：" + bytes(folder) + "\n"));
    QCOMPARE(text.code, code);
    QCOMPARE(describe(read_folder(folder)), describe(before));

    const finished run = fennimo(arguments << QString::fromStdString(folder), "/");
    QCOMPARE(run.code, code);
    std::vector<planned> refused;
    std::vector<renamer::journal_entry> renamed;
    auto after = before;
    for (const auto& [old_name, new_name, reason] : plan) {
        if (!reason.empty()) {
            refused.push_back({old_name, new_name, reason});
            continue;
        }
        renamed.push_back({{}, old_name, new_name});
        after[new_name] = after[old_name];
        after.erase(old_name);
    }
    QCOMPARE(run.out, text_plan(refused));
    QCOMPARE(describe(read_folder(folder)), describe(after));
    // A run may rename in the folder's own order; what it renamed is the same.
    const auto journals = renamer::journal_files();
    QCOMPARE(journals.size(), std::size_t(renamed.empty() ? 0 : 1));
    if (!renamed.empty()) {
        auto journalled = renamer::read_journal(journals.back()).text.entries;
        for (auto& entry : journalled)
            entry.key.clear();
        const auto by_old_name = [](const auto& a, const auto& b) { return a.old_name < b.old_name; };
        std::sort(journalled.begin(), journalled.end(), by_old_name);
        std::sort(renamed.begin(), renamed.end(), by_old_name);
        QCOMPARE(journalled, renamed);
    }
}

void tst_command_line::bad_usage_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("message");

    // The window's message speaks of its own controls.
    QTest::newRow("pattern without *") << QStringList{"--pattern", "photo.jpg"}
                                       << QByteArray("--pattern 的 PATTERN 中必须有 * 号");
    QTest::newRow("unknown option") << QStringList{"--replace", "a", "b", "--frobnicate"}
                                    << QByteArray("未知的选项：--frobnicate\n");
    QTest::newRow("replace without its second text") << QStringList{"--replace", "a"}
                                                     << QByteArray("--replace 要给两个文字");
    // Half a pair would delete every "a", or open the window.
    QTest::newRow("--replace= alone") << QStringList{"--replace=a", "."} << QByteArray("--replace 要给两个文字");
    QTest::newRow("--replace-with alone") << QStringList{"--replace-with=x", "."}
                                          << QByteArray("--replace 要给两个文字");
    QTest::newRow("an option twice, under its two names") << QStringList{"--strip-extension", "-0", "--null", "."}
                                                          << QByteArray("选项 -0 只能给一次");
    QTest::newRow("a value where none is taken") << QStringList{"--strip-extension=yes"}
                                                 << QByteArray("不带参数");
    QTest::newRow("two folders") << QStringList{"--strip-extension", ".", "."} << QByteArray("只能给一个文件夹");
    QTest::newRow("undo with a rule") << QStringList{"--undo", "--strip-extension"} << QByteArray("--undo");
    QTest::newRow("a folder that is not there") << QStringList{"--strip-extension", "no such folder"}
                                                << QByteArray("无法读取文件夹");
    // Every run here has no display: the window cannot open, and says so.
    QTest::newRow("the window without a display") << QStringList{"."} << QByteArray("没有可以打开窗口的显示");
    QTest::newRow("the window on a folder that is not there") << QStringList{"no such folder"}
                                                              << QByteArray("文件夹不存在");
    QTest::newRow("an empty folder is no current folder") << QStringList{"--strip-extension", ""}
                                                          << QByteArray("文件夹不能为空");
    // A forgotten second text would make the next option the new text.
    QTest::newRow("an option name as WITH") << QStringList{"--replace", "a", "--dry-run", "."}
                                            << QByteArray("--replace=WHAT --replace-with=WITH");
    QTest::newRow("a short option name as WHAT") << QStringList{"--replace", "-0", "b"}
                                                 << QByteArray("--replace=WHAT --replace-with=WITH");
}

void tst_command_line::bad_usage()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, message);
    temporary_state_folder state;
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"a.txt"});

    const finished result = fennimo(arguments, folder);
    QCOMPARE(result.code, 2);
    QVERIFY2(result.err.startsWith(message) || result.err.contains(message), result.err.constData());
    QCOMPARE(result.out, QByteArray());
    QCOMPARE(describe(read_folder(folder)), describe({{"a.txt", "a.txt"}}));
    QVERIFY(renamer::journal_files().empty());
}

// "link/.." is the folder that holds what the link points to, as the
// system resolves it, not the folder that holds the link; and an option
// name given as a text on purpose, in the = form, is taken as a text.
void tst_command_line::folder_through_a_link()
{
    temporary_state_folder state;
    const auto dir = make_folder();
    const std::string top = path_of(*dir);
    QVERIFY(QDir(QString::fromStdString(top)).mkpath(QStringLiteral("real/inner")));
    QVERIFY(QFile::link(QStringLiteral("real/inner"), QString::fromStdString(top + "/link")));
    make_files(top, {"x-top"});
    make_files(top + "/real", {"x-real"});

    const finished result = fennimo({"--replace=x", "--replace-with=--dry-run", "link/.."}, top);
    QCOMPARE(result.code, 0);
    QCOMPARE(describe(read_folder(top + "/real")), describe({{"--dry-run-real", "x-real"}, {"inner", "<dir>"}}));
    QVERIFY(QFileInfo::exists(QString::fromStdString(top + "/x-top")));
}

// The command line undoes a run of the window, through the same journal;
// then there is nothing left to undo.
void tst_command_line::undo_of_the_windows_run()
{
    temporary_state_folder state;
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"a1", "a2", "b2"});
    const auto before = read_folder(folder);
    {
        fixture::scripted_boxes boxes;
        boxes.on_message = [](const QString&, const QString&) {};
        renamer::headless_window window(folder, boxes);
        window.set_text(renamer::text_id::Text3, "a");
        window.set_text(renamer::text_id::Text4, "b");
        renamer::rename_run(window);
    }
    QCOMPARE(describe(read_folder(folder)), describe({{"a2", "a2"}, {"b1", "a1"}, {"b2", "b2"}}));

    const finished undo = fennimo({"--undo", "--yes"}, "/");
    QCOMPARE(undo.code, 0);
    QCOMPARE(describe(read_folder(folder)), describe(before));
    QVERIFY(undo.err.contains("已有 1 个文件恢复原名"));

    const finished again = fennimo({"--undo", "--yes"}, "/");
    QCOMPARE(again.code, 1);
    QVERIFY(again.err.contains("没有可以撤销的改名"));
}

void tst_command_line::pipe_and_terminal_data()
{
    QTest::addColumn<bool>("terminal");
    QTest::newRow("pipe") << false;
    QTest::newRow("terminal") << true;
}

// On a pipe a name goes out as its bytes and no progress line comes; on a
// terminal its control bytes are escaped, and a run of over a thousand
// files shows how far it is.
void tst_command_line::pipe_and_terminal()
{
    QFETCH(bool, terminal);
    temporary_state_folder state;
    const auto dir = make_folder(true);
    const std::string folder = path_of(*dir);
    std::vector<std::string> names{"e\x1b]0;title\x07vil.txt"};
    for (int i = 0; i < 1001; ++i)
        names.push_back("f" + std::to_string(i) + ".txt");
    make_files(folder, names);

    const QStringList arguments{"--must-contain", "vil", "--replace", ".txt", ".log", "--dry-run"};
    const finished result = terminal ? fennimo_on_terminal(arguments, folder) : fennimo(arguments, folder);
    QCOMPARE(result.code, 0);
    const QByteArray all = result.out + result.err;
    QCOMPARE(all.contains("e\x1b]0;title\x07vil.txt → e\x1b]0;title\x07vil.log"), !terminal);
    QCOMPARE(all.contains("e\\x1b]0;title\\x07vil.txt → e\\x1b]0;title\\x07vil.log"), terminal);
    QCOMPARE(all.contains("已处理"), terminal);
}

void tst_command_line::output_that_fails_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("plan") << QStringList{"--replace", "a", "b", "--dry-run"};
    QTest::newRow("history") << QStringList{"--history"};
}

// A plan or a history that did not reach its file must not end as if it
// had: a script would take the truncated output for the whole.
void tst_command_line::output_that_fails()
{
    QFETCH(QStringList, arguments);
    temporary_state_folder state;
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"a.txt", "x.txt"});
    // A run for the history to show; the plan still has a.txt to show.
    QCOMPARE(fennimo({"--replace", "x", "y"}, folder).code, 0);

    QProcess process;
    process.setProcessEnvironment(without_display());
    process.setWorkingDirectory(QFile::decodeName(bytes(folder)));
    process.setStandardOutputFile(QStringLiteral("/dev/full"));
    process.start(QStringLiteral(FENNIMO_PROGRAM), arguments);
    QVERIFY(process.waitForFinished(120000));
    QCOMPARE(process.exitCode(), 1);
    QVERIFY(process.readAllStandardError().contains("无法写出标准输出：设备上没有空间。\n"));
}

// The help fits 80 columns of a terminal, where a Chinese character takes
// two; a wrapped description goes on under itself, and no line starts with
// punctuation that closes the line before it.
void tst_command_line::help_fits_a_terminal()
{
    const finished result = fennimo({"--help"}, ".");
    QCOMPARE(result.code, 0);
    const QStringList lines = QString::fromUtf8(result.out).split(QLatin1Char('\n'));
    QVERIFY(lines.size() > 15);
    QVERIFY(result.out.contains("--replace WHAT WITH "));
    const qsizetype column = lines.filter(QStringLiteral("--dry-run")).front().indexOf(QStringLiteral("只列出"));
    for (const QString& line : lines) {
        int width = 0;
        for (QChar c : line)
            width += c.unicode() >= 0x2E80 ? 2 : 1;
        QVERIFY2(width <= 80, qPrintable(line));
        const QString text = line.trimmed();
        QVERIFY2(text.isEmpty() || !QStringLiteral("、，。；：）").contains(text.front()), qPrintable(line));
        if (line.startsWith(QStringLiteral("   ")))
            QCOMPARE(line.indexOf(text), column);
    }
}

QTEST_GUILESS_MAIN(tst_command_line)
#include "tst_command_line.moc"

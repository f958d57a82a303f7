#include "headless_window.h"
#include "engine/folder_source.h"
#include "engine/journal.h"
#include "engine/runs.h"

#include "platform/test_hooks.h"

#include "folder_fixture.h"

#include <QtTest>

using namespace fixture;
using renamer::check_id;
using renamer::headless_window;
using renamer::text_id;

namespace {

using inputs = std::map<text_id, std::string>;

void set_inputs(headless_window& window, const inputs& values)
{
    for (const auto& [id, text] : values)
        window.set_text(id, text);
}

QByteArray names_of(const std::string& folder)
{
    QByteArray out;
    for (const auto& [name, content] : read_folder(folder))
        out += bytes(name) + ";";
    return out;
}

// Files keep their content through any rename, so the multiset of contents
// tells whether a file was lost or overwritten.
QByteArray contents_of(const std::string& folder)
{
    std::vector<std::string> contents;
    for (const auto& [name, content] : read_folder(folder))
        contents.push_back(content);
    std::sort(contents.begin(), contents.end());
    return describe_lines(contents);
}

} // namespace

class tst_rename_run : public QObject {
    Q_OBJECT
private slots:
    // Runs that meet a refusal report it; no test waits on the box.
    void init()
    {
        platform::set_message_box_hook([](const QString&, const QString&) {});
    }
    void cleanup() { platform::reset_test_hooks(); }
    void run_data();
    void run();
    void pattern_runs_twice_to_a_fixed_point();
    void nothing_leaves_the_folder_data();
    void nothing_leaves_the_folder();
    void progress_bar();
    void root_like_folder_gives_single_separators();
    void folder_past_sixteen_bits();
    void input_changed_during_a_yield();
    void run_started_inside_a_yield();
    void folder_changed_during_a_yield();
    void what_replaced_a_listed_file_is_not_renamed_data();
    void what_replaced_a_listed_file_is_not_renamed();

private:
    temporary_state_folder state;
};

// Each row: the files of a fresh folder, the inputs, the option button to
// select, then the folder and the two lists after the run.
void tst_rename_run::run_data()
{
    QTest::addColumn<bool>("in_memory");
    QTest::addColumn<QByteArrayList>("files");
    QTest::addColumn<QByteArray>("what");
    QTest::addColumn<QByteArray>("with");
    QTest::addColumn<QByteArray>("must_contain");
    QTest::addColumn<QByteArray>("pattern");   // selects Check2 when set
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QByteArray>("names");     // Text2, lines joined by '|'

    for (bool in_memory : {false, true}) {
        const QByteArray where = in_memory ? "shm: " : "disk: ";
        auto row = [&](const char* tag) -> QTestData& {
            return QTest::newRow((where + tag).constData()) << in_memory;
        };
        row("empty folder") << QByteArrayList{} << QByteArray("a") << QByteArray("b") << QByteArray() << QByteArray() << QByteArray() << QByteArray();
        row("one file") << QByteArrayList{"a.txt"} << QByteArray("a") << QByteArray("b") << QByteArray() << QByteArray() << QByteArray("b.txt;") << QByteArray("b.txt|");
        row("empty inputs change nothing") << QByteArrayList{"x", "y"} << QByteArray() << QByteArray() << QByteArray() << QByteArray() << QByteArray("x;y;") << QByteArray("x|y|");
        // "a1.txt" cannot take the name of "b1.txt"; the name list shows the
        // replacement applied to both.
        row("clash keeps the old name") << QByteArrayList{"a1.txt", "b1.txt"} << QByteArray("a") << QByteArray("b") << QByteArray() << QByteArray() << QByteArray("a1.txt;b1.txt;") << QByteArray("b1.txt|b1.txt|");
        row("filter then replaced away") << QByteArrayList{"old1", "old2", "x"} << QByteArray("old") << QByteArray("new") << QByteArray("old") << QByteArray() << QByteArray("new1;new2;x;") << QByteArray();
        row("non-utf8 names") << QByteArrayList{"\xff\xfe-a", "plain-a"} << QByteArray("\xfe") << QByteArray("\xfd") << QByteArray() << QByteArray() << QByteArray("plain-a;\xff\xfd-a;") << QByteArray("plain-a|\xff\xfd-a|");
        // Every file asks for the same name; only the first gets it and all
        // five keep their content.
        row("pattern without star") << QByteArrayList{"1", "2", "3", "4", "5"} << QByteArray() << QByteArray() << QByteArray() << QByteArray("same") << QByteArray("2;3;4;5;same;") << QByteArray("2|3|4|5|same|");
    }
}

void tst_rename_run::run()
{
    QFETCH(bool, in_memory);
    QFETCH(QByteArrayList, files);
    QFETCH(QByteArray, what);
    QFETCH(QByteArray, with);
    QFETCH(QByteArray, must_contain);
    QFETCH(QByteArray, pattern);
    QFETCH(QByteArray, after);
    QFETCH(QByteArray, names);

    const auto dir = make_folder(in_memory);
    const std::string folder = path_of(*dir);
    std::vector<std::string> created;
    for (const auto& f : files)
        created.push_back(str(f));
    make_files(folder, created);
    const QByteArray contents_before = contents_of(folder);

    headless_window window(folder);
    set_inputs(window, {{text_id::Text3, str(what)}, {text_id::Text4, str(with)},
                        {text_id::Text5, str(must_contain)}, {text_id::Combo1, str(pattern)}});
    window.set_check_value(check_id::Check2, !pattern.isEmpty());
    window.set_text(text_id::Text1, "stale");
    window.set_text(text_id::Text2, "stale");

    renamer::rename_run(window);

    QCOMPARE(names_of(folder), after);
    QCOMPARE(contents_of(folder), contents_before);
    QCOMPARE(describe_lines(lines_of(window.text(text_id::Text2))), names);

    // The path list holds the same entries, as full paths.
    std::vector<std::string> paths;
    for (const auto& line : lines_of(window.text(text_id::Text1))) {
        QVERIFY(line.rfind(folder + "/", 0) == 0);
        paths.push_back(line.substr(folder.size() + 1));
    }
    QCOMPARE(paths.size(), lines_of(window.text(text_id::Text2)).size());
    QVERIFY(!window.timer_enabled());
    QCOMPARE(window.run_index(), 0);
}

void tst_rename_run::pattern_runs_twice_to_a_fixed_point()
{
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"x.jpg", "y.jpg", "z.jpg"});
    headless_window window(folder);
    window.set_check_value(check_id::Check2, true);
    window.set_text(text_id::Combo1, "*.jpg");

    renamer::rename_run(window);
    QCOMPARE(describe(read_folder(folder)), QByteArray("0.jpg=x.jpg;1.jpg=y.jpg;2.jpg=z.jpg;"));

    renamer::rename_run(window);
    QCOMPARE(describe(read_folder(folder)), QByteArray("0.jpg=x.jpg;1.jpg=y.jpg;2.jpg=z.jpg;"));
    QCOMPARE(window.text(text_id::Text2), std::string("0.jpg\r\n1.jpg\r\n2.jpg"));
}

// A replacement may compose a name that is no plain name of the folder; such
// a file keeps its name instead of moving or vanishing.
void tst_rename_run::nothing_leaves_the_folder_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("what");
    QTest::addColumn<QByteArray>("with");
    QTest::newRow("separator into a subfolder") << QByteArray("sub_x") << QByteArray("_") << QByteArray("/");
    QTest::newRow("up to the parent") << QByteArray("x-y") << QByteArray("x-") << QByteArray("../");
    QTest::newRow("empty name") << QByteArray("xx") << QByteArray("x") << QByteArray();
    QTest::newRow("dot") << QByteArray("x") << QByteArray("x") << QByteArray(".");
    QTest::newRow("dot dot") << QByteArray("xx") << QByteArray("x") << QByteArray(".");
    QTest::newRow("over 255 bytes") << QByteArray("x") << QByteArray("x") << QByteArray(256, 'y');
}

void tst_rename_run::nothing_leaves_the_folder()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, what);
    QFETCH(QByteArray, with);

    const auto parent = make_folder();
    const std::string folder = path_of(*parent) + "/work";
    QVERIFY(::mkdir(folder.c_str(), 0755) == 0);
    QVERIFY(::mkdir((folder + "/sub").c_str(), 0755) == 0);
    make_files(folder, {str(file)});

    headless_window window(folder);
    set_inputs(window, {{text_id::Text3, str(what)}, {text_id::Text4, str(with)}});
    renamer::rename_run(window);

    QCOMPARE(describe(read_folder(folder)), describe({{str(file), str(file)}, {"sub", "<dir>"}}));
    QCOMPARE(describe(read_folder(folder + "/sub")), QByteArray());
    QCOMPARE(describe(read_folder(path_of(*parent))), QByteArray("work=<dir>;"));
}

void tst_rename_run::progress_bar()
{
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"only"});

    // One file asks for a maximum of 0, which the bar refuses: it keeps 50.
    headless_window window(folder);
    QVERIFY(window.set_bar_max(50));
    QVERIFY(window.set_bar_value(7));
    int ticks = 0;
    window.on_yield = [&] {
        QVERIFY(window.timer_enabled());
        renamer::timer_tick(window);
        ++ticks;
    };
    renamer::rename_run(window);
    QCOMPARE(window.bar().max(), 50.0f);
    QCOMPARE(window.bar().value(), 0.0f);
    QCOMPARE(ticks, 6);   // two yields per file and pass

    // Three files set the maximum to 2, and the bar follows the index.
    make_files(folder, {"second", "third"});
    window.refresh();
    std::vector<float> seen;
    window.on_yield = [&] {
        renamer::timer_tick(window);
        seen.push_back(window.bar().value());
    };
    renamer::rename_run(window);
    QCOMPARE(window.bar().max(), 2.0f);
    QCOMPARE(seen, (std::vector<float>{0, 0, 0, 1, 1, 2, 0, 0, 0, 1, 1, 2, 0, 0, 0, 1, 1, 2}));

    // A tick whose index lies beyond the bar (a second run met a larger
    // folder) is refused by the bar and leaves it where it was.
    window.at_file(40);
    renamer::timer_tick(window);
    QCOMPARE(window.bar().value(), 2.0f);
    window.at_file(-1);
    renamer::timer_tick(window);
    QCOMPARE(window.bar().value(), 2.0f);
}

// A folder path ending in the separator is what a root folder looks like:
// renames must use one separator and the listing must show one.
void tst_rename_run::root_like_folder_gives_single_separators()
{
    const auto dir = make_folder();
    const std::string folder = path_of(*dir) + "/";
    make_files(folder, {"a1", "b1"});
    headless_window window(folder);
    set_inputs(window, {{text_id::Text3, "1"}, {text_id::Text4, "2"}});
    renamer::rename_run(window);

    QCOMPARE(describe(read_folder(folder)), QByteArray("a2=a1;b2=b1;"));
    QCOMPARE(window.text(text_id::Text1), folder + "a2\r\n" + folder + "b2");
}

// Counts and indexes are 32-bit: a folder larger than 32,767 files is
// renamed whole, and the pattern index goes past 16 bits.
void tst_rename_run::folder_past_sixteen_bits()
{
    const auto dir = make_folder(true);
    const std::string folder = path_of(*dir);
    const int count = 33000;
    for (int i = 0; i < count; ++i)
        write_file(folder, "f" + std::to_string(i), {});
    headless_window window(folder);
    window.set_check_value(check_id::Check2, true);
    window.set_text(text_id::Combo1, "n*");
    renamer::rename_run(window);

    const auto after = read_folder(folder);
    QCOMPARE(int(after.size()), count);
    QCOMPARE(after.count("n0") + after.count("n32767") + after.count("n32999"), std::size_t(3));
    QCOMPARE(std::count_if(after.begin(), after.end(), [](auto& e) { return e.first[0] == 'f'; }), 0L);
    QCOMPARE(int(lines_of(window.text(text_id::Text2)).size()), count);
}

void tst_rename_run::input_changed_during_a_yield()
{
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"f0", "f1", "f2"});
    headless_window window(folder);
    set_inputs(window, {{text_id::Text3, "f"}, {text_id::Text4, "g"}});
    window.on_yield = [&] { window.set_text(text_id::Text4, "h"); };
    renamer::rename_run(window);
    QCOMPARE(names_of(folder), QByteArray("g0;h1;h2;"));
}

// A click on the rename button while a run yields starts a second run in
// the middle of the first; both finish and every file survives.
void tst_rename_run::run_started_inside_a_yield()
{
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"a0", "a1", "a2", "a3", "a4"});
    headless_window window(folder);
    set_inputs(window, {{text_id::Text3, "a"}, {text_id::Text4, "b"}});
    int yields = 0;
    bool nested_done = false;
    window.on_yield = [&] {
        if (++yields == 3) {
            renamer::rename_run(window);
            nested_done = true;
        }
    };
    renamer::rename_run(window);
    QVERIFY(nested_done);
    QCOMPARE(describe(read_folder(folder)), QByteArray("b0=a0;b1=a1;b2=a2;b3=a3;b4=a4;"));
    // The inner run filled the lists after the outer one had emptied them, and
    // the outer run's own passes add theirs after it.
    const std::string once = "b0\r\nb1\r\nb2\r\nb3\r\nb4";
    QCOMPARE(window.text(text_id::Text2), once + "\r\n" + once);
    QVERIFY(!window.timer_enabled());
    // Each run kept its own journal; between them every rename is there
    // once, and nothing else.
    std::vector<std::string> renamed;
    for (const auto& file : renamer::journal_files()) {
        const auto journal = renamer::read_journal(file);
        QVERIFY2(journal.valid(), journal.error.c_str());
        if (journal.folder != folder)
            continue;
        QCOMPARE(journal.state, renamer::run_state::complete);
        for (const auto& entry : journal.entries)
            renamed.push_back(entry.old_name + ">" + entry.new_name);
    }
    QCOMPARE(describe_lines(renamed), QByteArray("a0>b0|a1>b1|a2>b2|a3>b3|a4>b4|"));
}

// The user picks another folder while the run yields: the rest of the pass
// reads the new folder's list with the old indexes, and entries past its end
// are skipped.
void tst_rename_run::folder_changed_during_a_yield()
{
    const auto dir = make_folder();
    const std::string first = path_of(*dir) + "/first";
    const std::string second = path_of(*dir) + "/second";
    QVERIFY(::mkdir(first.c_str(), 0755) == 0);
    QVERIFY(::mkdir(second.c_str(), 0755) == 0);
    make_files(first, {"a0", "a1", "a2", "a3"});
    make_files(second, {"a9", "z"});

    headless_window window(first);
    set_inputs(window, {{text_id::Text3, "a"}, {text_id::Text4, "b"}});
    int yields = 0;
    window.on_yield = [&] {
        if (++yields == 2)
            QVERIFY(window.set_file_path(second));
    };
    renamer::rename_run(window);

    // Index 0 was renamed in the first folder; index 1 of the second is "z",
    // which the rule leaves as it is; indexes 2 and 3 are past its end.
    QCOMPARE(names_of(first), QByteArray("a1;a2;a3;b0;"));
    QCOMPARE(names_of(second), QByteArray("a9;z;"));
    QCOMPARE(window.text(text_id::Text2), std::string("b9\r\nz"));
}

// A folder and a FIFO took the places of two listed files before the run.
// The window's list, made before, is checked once as the run starts and
// refuses both as gone; the command line's list, made as its run starts,
// never held them. Either way neither is renamed, nor are the files of the
// folder that took a file's place.
void tst_rename_run::what_replaced_a_listed_file_is_not_renamed_data()
{
    QTest::addColumn<bool>("window");
    QTest::newRow("the window's list") << true;
    QTest::newRow("the command line's list") << false;
}

void tst_rename_run::what_replaced_a_listed_file_is_not_renamed()
{
    QFETCH(bool, window);
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"a1", "a2", "a3", "a4"});

    headless_window shown(folder);
    set_inputs(shown, {{text_id::Text3, "a"}, {text_id::Text4, "b"}});
    QVERIFY(::unlink((folder + "/a2").c_str()) == 0 && ::mkdir((folder + "/a2").c_str(), 0755) == 0);
    make_files(folder + "/a2", {"a5"});
    QVERIFY(::unlink((folder + "/a3").c_str()) == 0 && ::mkfifo((folder + "/a3").c_str(), 0644) == 0);

    renamer::run_outcomes outcomes;
    if (window) {
        QCOMPARE(shown.list_count(), 4);
        outcomes = renamer::rename_run(shown);
    } else {
        renamer::folder_source listed(folder);
        QCOMPARE(listed.list_count(), 2);
        outcomes = renamer::rename_files({shown, listed, shown});
    }

    QCOMPARE(outcomes.renamed, std::size_t(2));
    std::vector<std::string> refused;
    for (const auto& r : outcomes.refused) {
        QCOMPARE(r.result.outcome, platform::rename_outcome::entry_gone);
        refused.push_back(r.old_name);
    }
    QCOMPARE(describe_lines(refused), QByteArray(window ? "a2|a3|" : ""));
    struct stat st {};
    QVERIFY(::lstat((folder + "/a2/a5").c_str(), &st) == 0 && S_ISREG(st.st_mode));
    QVERIFY(::lstat((folder + "/a3").c_str(), &st) == 0 && S_ISFIFO(st.st_mode));
    QVERIFY(::lstat((folder + "/b1").c_str(), &st) == 0 && ::lstat((folder + "/b4").c_str(), &st) == 0);
}

QTEST_GUILESS_MAIN(tst_rename_run)
#include "tst_rename_run.moc"

#include "headless_window.h"
#include "core/folder_source.h"
#include "core/journal.h"
#include "form/window_runs.h"
#include "core/undo.h"


#include "folder_fixture.h"
#include "scripted_boxes.h"
#include "staged_files.h"

#include "platform/files/rename.h"

#include <QtTest>

#include <sys/mount.h>
#include <sys/stat.h>

using namespace fixture;
using renamer::check_id;
using renamer::headless_window;
using renamer::text_id;

namespace {

// The boxes the windows report and ask in, which each test answers; cleanup()
// gives them back to the toolkit.
fixture::scripted_boxes boxes;

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

// A run of the command line's kind over `folder`: replace `what` by `with`.
renamer::run_outcomes replace_in(const std::string& folder, const std::string& what, const std::string& with)
{
    headless_window window(folder, boxes);
    set_inputs(window, {{text_id::Text3, what}, {text_id::Text4, with}});
    return renamer::rename_files(window.parts());
}

ino_t inode_of(const std::string& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_ino : 0;
}

} // namespace

class tst_rename_run : public QObject {
    Q_OBJECT
private slots:
    // Runs that meet a refusal report it; no test waits on the box.
    void init()
    {
        boxes.on_message = ([](const QString&, const QString&) {});
    }
    void cleanup()
    {
        boxes.reset();
    }
    void run_data();
    void run();
    void pattern_runs_twice_to_a_fixed_point();
    void nothing_leaves_the_folder_data();
    void nothing_leaves_the_folder();
    void progress_bar();
    void root_like_folder_gives_single_separators();
    void folder_past_sixteen_bits();
    void input_changed_between_files();
    void run_started_between_files();
    void folder_changed_between_files();
    void what_replaced_a_listed_file_is_not_renamed_data();
    void what_replaced_a_listed_file_is_not_renamed();
    void undo_moves_only_the_files_the_run_moved_data();
    void undo_moves_only_the_files_the_run_moved();
    void undo_refuses_a_folder_made_anew_data();
    void undo_refuses_a_folder_made_anew();
    void chain_undo_stopped_and_tried_again();
    void window_undo_renames_through_the_window_file_system();

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

    headless_window window(folder, boxes);
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
    headless_window window(folder, boxes);
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

    headless_window window(folder, boxes);
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
    headless_window window(folder, boxes);
    QVERIFY(window.set_bar_max(50));
    QVERIFY(window.set_bar_value(7));
    int ticks = 0;
    renamer::run_with(renamer::rename_job(window), [&] {
        QVERIFY(window.timer_enabled());
        renamer::timer_tick(window);
        ++ticks;
    });
    QCOMPARE(window.bar().max(), 50.0f);
    QCOMPARE(window.bar().value(), 0.0f);
    QCOMPARE(ticks, 3);   // a step per file and pass

    // Three files set the maximum to 2, and the bar follows the index.
    make_files(folder, {"second", "third"});
    window.refresh();
    std::vector<float> seen;
    renamer::run_with(renamer::rename_job(window), [&] {
        renamer::timer_tick(window);
        seen.push_back(window.bar().value());
    });
    QCOMPARE(window.bar().max(), 2.0f);
    QCOMPARE(seen, (std::vector<float>{0, 1, 2, 0, 1, 2, 0, 1, 2}));

    // A tick whose index lies beyond the bar (the run's folder changed for
    // a larger one) is refused by the bar and leaves it where it was.
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
    headless_window window(folder, boxes);
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
    headless_window window(folder, boxes);
    window.set_check_value(check_id::Check2, true);
    window.set_text(text_id::Combo1, "n*");
    renamer::rename_run(window);

    const auto after = read_folder(folder);
    QCOMPARE(int(after.size()), count);
    QCOMPARE(after.count("n0") + after.count("n32767") + after.count("n32999"), std::size_t(3));
    QCOMPARE(std::count_if(after.begin(), after.end(), [](auto& e) { return e.first[0] == 'f'; }), 0L);
    QCOMPARE(int(lines_of(window.text(text_id::Text2)).size()), count);
}

void tst_rename_run::input_changed_between_files()
{
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"f0", "f1", "f2"});
    headless_window window(folder, boxes);
    set_inputs(window, {{text_id::Text3, "f"}, {text_id::Text4, "g"}});
    renamer::run_with(renamer::rename_job(window), [&] { window.set_text(text_id::Text4, "h"); });
    QCOMPARE(names_of(folder), QByteArray("g0;h1;h2;"));
}

// A second run started between two files of the first (the core leaves
// refusing it to the window): both finish and every file survives.
void tst_rename_run::run_started_between_files()
{
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"a0", "a1", "a2", "a3", "a4"});
    headless_window window(folder, boxes);
    set_inputs(window, {{text_id::Text3, "a"}, {text_id::Text4, "b"}});
    int files = 0;
    bool nested_done = false;
    renamer::run_with(renamer::rename_job(window), [&] {
        if (++files == 2) {
            renamer::rename_run(window);
            nested_done = true;
        }
    });
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
        QVERIFY2(journal.usable(), renamer::journal_problem_text(journal).c_str());
        if (journal.text.folder != folder)
            continue;
        QCOMPARE(journal.state, renamer::run_state::complete);
        for (const auto& entry : journal.text.entries)
            renamed.push_back(entry.old_name + ">" + entry.new_name);
    }
    QCOMPARE(describe_lines(renamed), QByteArray("a0>b0|a1>b1|a2>b2|a3>b3|a4>b4|"));
}

// The user picks another folder between two files: the rest of the pass
// reads the new folder's list with the old indexes, and entries past its end
// are skipped.
void tst_rename_run::folder_changed_between_files()
{
    const auto dir = make_folder();
    const std::string first = path_of(*dir) + "/first";
    const std::string second = path_of(*dir) + "/second";
    QVERIFY(::mkdir(first.c_str(), 0755) == 0);
    QVERIFY(::mkdir(second.c_str(), 0755) == 0);
    make_files(first, {"a0", "a1", "a2", "a3"});
    make_files(second, {"a9", "z"});

    headless_window window(first, boxes);
    set_inputs(window, {{text_id::Text3, "a"}, {text_id::Text4, "b"}});
    int files = 0;
    renamer::run_with(renamer::rename_job(window), [&] {
        if (++files == 1)
            QVERIFY(window.set_file_path(second));
    });

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

    headless_window shown(folder, boxes);
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

// The undo decides each file from what is on disk now, by the key the run
// wrote before its move: a stranger under the new name is left alone and
// the file reported as moved; a file under both names (a stop between a
// link and its unlink) loses the second; a line written twice is one file.
void tst_rename_run::undo_moves_only_the_files_the_run_moved_data()
{
    QTest::addColumn<QByteArray>("since");
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<int>("restored");
    QTest::addColumn<int>("refused");
    QTest::newRow("a stranger at the new name")
        << QByteArray("stranger") << QByteArray("a2=a2;b1=stranger;c1=a1;") << 1 << 1;
    QTest::newRow("under both names") << QByteArray("both") << QByteArray("a1=a1;a2=a2;") << 2 << 0;
    QTest::newRow("a line written twice") << QByteArray("twice") << QByteArray("a1=a1;a2=a2;") << 2 << 0;
}

void tst_rename_run::undo_moves_only_the_files_the_run_moved()
{
    QFETCH(QByteArray, since);
    QFETCH(QByteArray, after);
    QFETCH(int, restored);
    QFETCH(int, refused);
    const temporary_state_folder own_state;
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"a1", "a2"});
    QCOMPARE(replace_in(folder, "a", "b").renamed, std::size_t(2));
    const std::string b1 = folder + "/b1";
    if (since == "stranger") {
        QVERIFY(::rename(b1.c_str(), (folder + "/c1").c_str()) == 0);
        write_file(folder, "b1", "stranger");
    } else if (since == "both") {
        QVERIFY(::link(b1.c_str(), (folder + "/a1").c_str()) == 0);
    } else {
        const std::string journal = renamer::journal_files().back();
        std::string text = file_content(journal);
        const auto line = text.find("\nr\t") + 1;
        text.insert(line, text.substr(line, text.find('\n', line) + 1 - line));
        ::unlink(journal.c_str());
        write_file(renamer::runs_folder(), journal.substr(journal.rfind('/') + 1), text);
        ::chmod(journal.c_str(), 0600);
    }

    renamer::run_undo undo;
    QVERIFY2(undo.ready(), undo.refusal().c_str());
    QCOMPARE(undo.files(), std::size_t(2));
    const auto outcomes = undo.take_back([](std::int32_t) {});
    QCOMPARE(describe(read_folder(folder)), after);
    QCOMPARE(int(outcomes.renamed), restored);
    QCOMPARE(int(outcomes.refused.size()), refused);
}

// The undo acts only in the folder the run renamed in, told by more than
// its device and inode, which repeat: a folder put in its place before the
// first rename, one made anew that got the old one's inode, a memory file
// system mounted again where it was. Each is refused, with where the
// folder was, and nothing in it moves.
void tst_rename_run::undo_refuses_a_folder_made_anew_data()
{
    QTest::addColumn<QByteArray>("how");
    QTest::newRow("replaced before the first rename") << QByteArray("replaced");
    QTest::newRow("made anew with the same inode") << QByteArray("same inode");
    QTest::newRow("a tmpfs mounted again") << QByteArray("tmpfs");
}

void tst_rename_run::undo_refuses_a_folder_made_anew()
{
    QFETCH(QByteArray, how);
    const temporary_state_folder own_state;
    const auto dir = make_folder();
    const std::string folder = path_of(*dir) + "/d";
    make_path(folder);
    if (how == "tmpfs" && ::mount("tmpfs", folder.c_str(), "tmpfs", 0, nullptr) != 0)
        QSKIP("no tmpfs can be mounted here");
    make_files(folder, {"a1"});
    if (how == "replaced") {
        // Listed, then the folder moves away and another takes its path.
        headless_window window(folder, boxes);
        set_inputs(window, {{text_id::Text3, "a"}, {text_id::Text4, "b"}});
        QVERIFY(::rename(folder.c_str(), (folder + ".old").c_str()) == 0);
        make_path(folder);
        QCOMPARE(renamer::rename_files(window.parts()).renamed, std::size_t(1));
        QCOMPARE(describe(read_folder(folder + ".old")), QByteArray("b1=a1;"));
    } else {
        QCOMPARE(replace_in(folder, "a", "b").renamed, std::size_t(1));
        if (how == "tmpfs") {
            QVERIFY(::umount(folder.c_str()) == 0);
            QVERIFY(::mount("tmpfs", folder.c_str(), "tmpfs", 0, nullptr) == 0);
        } else {
            // ext4 gives a removed folder's inode to the next folder made,
            // though not always at once.
            const ino_t old = inode_of(folder);
            int tries = 0;
            do {
                std::filesystem::remove_all(folder);
                make_path(folder);
            } while (inode_of(folder) != old && ++tries < 200);
            if (inode_of(folder) != old)
                QSKIP("no folder made here got the removed one's inode");
        }
    }
    write_file(folder, "b1", "stranger");

    renamer::run_undo undo;
    const bool mounted = how == "tmpfs";
    if (mounted)
        ::umount2(folder.c_str(), MNT_DETACH);
    QVERIFY(!undo.ready());
    QVERIFY2(undo.refusal().find("改名时的文件夹已被移走或替换") != std::string::npos, undo.refusal().c_str());
    QVERIFY(undo.refusal().find(folder) != std::string::npos);
    if (!mounted)
        QCOMPARE(describe(read_folder(folder)), QByteArray("b1=stranger;"));
}

// An undo of a chain (track1 to track0, track2 to track1, ...) stopped in
// the middle, then tried again: the second finds every file where the first
// left it and puts back the rest, counting each file once.
void tst_rename_run::chain_undo_stopped_and_tried_again()
{
    const temporary_state_folder own_state;
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    for (int k = 1; k <= 9; ++k)
        write_file(folder, "track" + std::to_string(k), std::to_string(k));
    headless_window window(folder, boxes);
    window.set_check_value(check_id::Check2, true);
    window.set_text(text_id::Combo1, "track*");
    QCOMPARE(renamer::rename_files(window.parts()).renamed, std::size_t(9));
    QCOMPARE(describe(read_folder(folder)).left(16), QByteArray("track0=1;track1="));

    struct stopped {};
    try {
        renamer::run_undo undo;
        undo.take_back([](std::int32_t done) {
            if (done == 5)
                throw stopped{};
        });
        QFAIL("the undo was not stopped");
    } catch (const stopped&) {
    }
    renamer::run_undo again;
    QVERIFY2(again.ready(), again.refusal().c_str());
    const auto outcomes = again.take_back([](std::int32_t) {});
    QCOMPARE(outcomes.renamed, std::size_t(9));
    QVERIFY(outcomes.refused.empty());
    QByteArray back;
    for (int k = 1; k <= 9; ++k)
        back += "track" + QByteArray::number(k) + "=" + QByteArray::number(k) + ";";
    QCOMPARE(describe(read_folder(folder)), back);
    QCOMPARE(renamer::read_journal(renamer::journal_files().back()).state, renamer::run_state::undone);
}

// A window's undo renames through the file system the window was given, as
// its run does, not through the kernel's behind the test's back.
void tst_rename_run::window_undo_renames_through_the_window_file_system()
{
    const temporary_state_folder own_state;
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"a1"});
    staged_files staged;
    headless_window window(folder, staged, boxes);
    set_inputs(window, {{text_id::Text3, "a"}, {text_id::Text4, "b"}});
    QCOMPARE(renamer::rename_run(window).renamed, std::size_t(1));

    std::vector<std::string> renamed_to;
    staged.call_hook = ([&](file_call call, const std::string&, const std::string& to) {
        if (call == file_call::rename_noreplace || call == file_call::plain_rename)
            renamed_to.push_back(to);
        return 0;
    });
    boxes.on_question = ([](const QString&, const QString&) { return true; });
    QCOMPARE(renamer::undo_run(window).renamed, std::size_t(1));
    QCOMPARE(renamed_to, std::vector<std::string>{"a1"});
    QCOMPARE(describe(read_folder(folder)), QByteArray("a1=a1;"));
}

QTEST_GUILESS_MAIN(tst_rename_run)
#include "tst_rename_run.moc"

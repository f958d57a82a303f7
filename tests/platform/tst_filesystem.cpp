#include "platform/test_hooks.h"
#include "platform/listed_folder.h"

#include "folder_fixture.h"

#include <QtTest>

using namespace fixture;
using platform::rename_result;

Q_DECLARE_METATYPE(platform::rename_result)

class tst_filesystem : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { platform::reset_test_hooks(); }
    void list_order_data();
    void list_order();
    void listing_keeps_bytes_links_and_order();
    void unreadable_folder_lists_nothing();
    void rename_data();
    void rename();
    void rename_between_folders_is_refused();
    void rename_of_a_link_renames_the_link();
    void same_file_under_two_names_is_put_back();
    void drives_start_at_root();
    void open_folder_renames_in_the_listed_folder();
};

void tst_filesystem::list_order_data()
{
    QTest::addColumn<QByteArray>("a");
    QTest::addColumn<QByteArray>("b");
    QTest::newRow("letters ignore case") << QByteArray("apple") << QByteArray("Banana");
    QTest::newRow("case breaks a tie, upper first") << QByteArray("A.txt") << QByteArray("a.txt");
    QTest::newRow("prefix first") << QByteArray("file") << QByteArray("file1");
    QTest::newRow("digits by character") << QByteArray("10") << QByteArray("9");
    QTest::newRow("underscore before letters") << QByteArray("_x") << QByteArray("a");
    QTest::newRow("bytes above ascii last") << QByteArray("zzz") << QByteArray("\xfe");
    QTest::newRow("high bytes unsigned") << QByteArray("\x7f") << QByteArray("\xff");
}

void tst_filesystem::list_order()
{
    QFETCH(QByteArray, a);
    QFETCH(QByteArray, b);
    QVERIFY(platform::list_order_less(str(a), str(b)));
    QVERIFY(!platform::list_order_less(str(b), str(a)));
    QVERIFY(!platform::list_order_less(str(a), str(a)));
}

void tst_filesystem::listing_keeps_bytes_links_and_order()
{
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"b.txt", "a.txt", "A.txt", "\xff\xfe.bin", "10", "9", ".hidden"});
    QVERIFY(::mkdir((folder + "/sub").c_str(), 0755) == 0);
    QVERIFY(::mkdir((folder + "/.hidden_dir").c_str(), 0755) == 0);
    QVERIFY(::symlink("a.txt", (folder + "/link").c_str()) == 0);
    QVERIFY(::symlink("nowhere", (folder + "/dangling").c_str()) == 0);
    QVERIFY(::symlink("sub", (folder + "/to_sub").c_str()) == 0);
    QVERIFY(::mkfifo((folder + "/fifo").c_str(), 0644) == 0);

    const auto files = platform::list_files(folder);
    QVERIFY(files);
    const std::vector<std::string> expected_files = {"10", "9", "A.txt", "a.txt", "b.txt",
                                                     "dangling", "link", "\xff\xfe.bin"};
    QCOMPARE(describe_lines(*files), describe_lines(expected_files));

    const auto folders = platform::list_subfolders(folder);
    QVERIFY(folders);
    QCOMPARE(describe_lines(*folders), describe_lines({"sub", "to_sub"}));
}

void tst_filesystem::unreadable_folder_lists_nothing()
{
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"a"});
    QVERIFY(!platform::list_files(folder + "/missing"));

    platform::set_listing_fault_hook([&](const std::string& f) { return f == folder; });
    QVERIFY(!platform::list_files(folder));
    QVERIFY(!platform::list_subfolders(folder));
    platform::set_listing_fault_hook({});
    QVERIFY(platform::list_files(folder));
}

// Each case starts from a folder holding "a.txt" and "b.txt" (each with its
// name as content) and a subfolder "sub", on the disk and in memory.
void tst_filesystem::rename_data()
{
    QTest::addColumn<bool>("in_memory");
    QTest::addColumn<bool>("by_link");
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<rename_result>("result");
    QTest::addColumn<QByteArray>("after");

    const QByteArray untouched = "a.txt=a.txt;b.txt=b.txt;sub=<dir>;";
    const QByteArray long_name(255, 'n');
    for (int way = 0; way < 3; ++way) {
        // On the disk, in memory, and on the disk by hard link and unlink.
        const bool in_memory = way == 1;
        const bool by_link = way == 2;
        const QByteArray where = QList<QByteArray>{"disk: ", "shm: ", "link: "}[way];
        auto row = [&](const char* tag) -> QTestData& {
            return QTest::newRow((where + tag).constData()) << in_memory << by_link;
        };
        row("plain") << QByteArray("a.txt") << QByteArray("c.txt") << rename_result::renamed << QByteArray("b.txt=b.txt;c.txt=a.txt;sub=<dir>;");
        row("existing name is never replaced") << QByteArray("a.txt") << QByteArray("b.txt") << rename_result::exists << untouched;
        row("onto a folder's name") << QByteArray("a.txt") << QByteArray("sub") << rename_result::exists << untouched;
        row("same name") << QByteArray("a.txt") << QByteArray("a.txt") << rename_result::unchanged << untouched;
        row("case only, case-sensitive") << QByteArray("a.txt") << QByteArray("A.txt") << rename_result::renamed << QByteArray("A.txt=a.txt;b.txt=b.txt;sub=<dir>;");
        row("non-utf8 bytes") << QByteArray("a.txt") << QByteArray("\xff\xfe") << rename_result::renamed << QByteArray("b.txt=b.txt;sub=<dir>;\xff\xfe=a.txt;");
        row("255 bytes") << QByteArray("a.txt") << long_name << rename_result::renamed << QByteArray("b.txt=b.txt;" + long_name + "=a.txt;sub=<dir>;");
        row("256 bytes") << QByteArray("a.txt") << long_name + "n" << rename_result::refused << untouched;
        row("empty") << QByteArray("a.txt") << QByteArray() << rename_result::refused << untouched;
        row("dot") << QByteArray("a.txt") << QByteArray(".") << rename_result::refused << untouched;
        row("dot dot") << QByteArray("a.txt") << QByteArray("..") << rename_result::refused << untouched;
        row("into a subfolder") << QByteArray("a.txt") << QByteArray("sub/a.txt") << rename_result::refused << untouched;
        row("up and out") << QByteArray("a.txt") << QByteArray("../a.txt") << rename_result::refused << untouched;
        row("nul byte") << QByteArray("a.txt") << QByteArray("x\0y", 3) << rename_result::refused << untouched;
        row("missing file") << QByteArray("zz") << QByteArray("c.txt") << rename_result::failed << untouched;
    }
}

void tst_filesystem::rename()
{
    QFETCH(bool, in_memory);
    QFETCH(bool, by_link);
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(rename_result, result);
    QFETCH(QByteArray, after);

    const auto dir = make_folder(in_memory);
    const std::string folder = path_of(*dir);
    make_files(folder, {"a.txt", "b.txt"});
    QVERIFY(::mkdir((folder + "/sub").c_str(), 0755) == 0);

    platform::pretend_no_rename_noreplace(by_link);
    // The way the windows rename: through the folder their file list read.
    const auto held = platform::listed_folder::read(folder);
    QVERIFY(held);
    const auto answer = held->rename(folder, str(from), str(to));
    platform::pretend_no_rename_noreplace(false);
    QCOMPARE(answer, result);
    QCOMPARE(describe(read_folder(folder)), after);
}

void tst_filesystem::rename_between_folders_is_refused()
{
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"a"});
    QVERIFY(::mkdir((folder + "/sub").c_str(), 0755) == 0);

    QCOMPARE(platform::rename_no_replace(folder + "/a", folder + "/sub/a"), rename_result::refused);
    QCOMPARE(platform::rename_no_replace(folder + "/a", folder + "/./b"), rename_result::refused);
    QCOMPARE(platform::rename_no_replace(folder + "/a", folder + "/.."), rename_result::refused);
    QCOMPARE(platform::rename_no_replace(folder + "/a", folder + "/"), rename_result::refused);
    QCOMPARE(describe(read_folder(folder)), QByteArray("a=a;sub=<dir>;"));
    QCOMPARE(platform::rename_no_replace(folder + "/a", folder + "/b"), rename_result::renamed);
    QCOMPARE(describe(read_folder(folder)), QByteArray("b=a;sub=<dir>;"));
}

void tst_filesystem::rename_of_a_link_renames_the_link()
{
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"target"});
    QVERIFY(::symlink("target", (folder + "/link").c_str()) == 0);
    QCOMPARE(platform::rename_no_replace(folder + "/link", folder + "/renamed"), rename_result::renamed);
    char buffer[64] = {};
    QCOMPARE(::readlink((folder + "/renamed").c_str(), buffer, sizeof buffer - 1), ssize_t(6));
    QCOMPARE(QByteArray(buffer), QByteArray("target"));
    QCOMPARE(describe(read_folder(folder)), QByteArray("renamed=target;target=target;"));
}

// Two names of one file look exactly like a case-only rename on a
// case-insensitive file system: the move goes through a temporary name,
// meets the second name, and must be put back without losing either name
// or leaving the temporary behind.
void tst_filesystem::same_file_under_two_names_is_put_back()
{
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"one"});
    QVERIFY(::link((folder + "/one").c_str(), (folder + "/two").c_str()) == 0);
    QCOMPARE(platform::rename_no_replace(folder + "/one", folder + "/two"), rename_result::exists);
    QCOMPARE(describe(read_folder(folder)), QByteArray("one=one;two=one;"));
    platform::pretend_no_rename_noreplace(true);
    QCOMPARE(platform::rename_no_replace(folder + "/one", folder + "/two"), rename_result::exists);
    platform::pretend_no_rename_noreplace(false);
    QCOMPARE(describe(read_folder(folder)), QByteArray("one=one;two=one;"));
}

void tst_filesystem::drives_start_at_root()
{
    const auto drives = platform::list_drives();
    QVERIFY(!drives.empty());
    QCOMPARE(drives.front(), std::string("/"));
    QCOMPARE(std::count(drives.begin(), drives.end(), std::string("/")), std::ptrdiff_t(1));
    QVERIFY(std::find(drives.begin(), drives.end(), std::string("/proc")) == drives.end());
    QVERIFY(std::find(drives.begin(), drives.end(), std::string("/sys")) == drives.end());
}

// A file list renames through the folder it read: the very folder that was
// listed, even after it has been moved, and never anywhere else.
void tst_filesystem::open_folder_renames_in_the_listed_folder()
{
    const auto dir = make_folder();
    const std::string top = path_of(*dir);
    const std::string listed = top + "/listed";
    const std::string moved = top + "/moved";
    make_path(listed);
    make_files(listed, {"a", "b"});

    const auto held = platform::listed_folder::read(listed);
    QVERIFY(held);
    QCOMPARE(describe_lines(held->entries()), describe_lines({"a", "b"}));
    QCOMPARE(held->rename(listed, "a", "b"), rename_result::exists);
    QCOMPARE(held->rename(listed, "a", "sub/c"), rename_result::refused);
    QCOMPARE(held->rename(listed, "a", "c"), rename_result::renamed);
    QVERIFY(!platform::listed_folder::read(top + "/missing"));

    QVERIFY(::rename(listed.c_str(), moved.c_str()) == 0);
    QCOMPARE(held->rename(listed, "c", "d"), rename_result::renamed);
    QCOMPARE(describe(read_folder(moved)), QByteArray("b=b;d=a;"));
    QCOMPARE(describe(read_folder(top)), QByteArray("moved=<dir>;"));
}

QTEST_APPLESS_MAIN(tst_filesystem)
#include "tst_filesystem.moc"

#include "platform/files/folder_reading.h"
#include "platform/files/list_order.h"
#include "platform/files/listed_folder.h"
#include "platform/files/name_list.h"
#include "platform/files/rename.h"
#include "platform/files/mounts.h"

#include "folder_fixture.h"
#include "staged_files.h"

#include <QtTest>

#include <algorithm>
#include <random>

using namespace fixture;
using platform::rename_outcome;

Q_DECLARE_METATYPE(platform::rename_outcome)

namespace {
// What each test stages: its folders are opened on it, and cleanup() stages
// nothing again.
staged_files staged;
} // namespace

class tst_filesystem : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { staged.reset(); }
    void list_order_data();
    void list_order();
    void large_folder_sorts_in_list_order();
    void listing_keeps_bytes_links_and_order();
    void unreadable_folder_lists_nothing();
    void rename_data();
    void rename();
    void rename_between_folders_is_refused();
    void rename_of_a_link_renames_the_link();
    void same_file_under_two_names_is_put_back();
    void drives_start_at_root();
    void places_for_files_data();
    void places_for_files();
    void open_folder_renames_in_the_listed_folder();
    void case_only_rename_needs_no_inode_numbers();
    void plain_collision_is_not_moved_aside();
    void entry_that_is_no_longer_a_file_is_refused_data();
    void entry_that_is_no_longer_a_file_is_refused();
    void empty_folder_path_lists_nothing();
    void file_that_cannot_go_back_stays_visible_data();
    void file_that_cannot_go_back_stays_visible();
};

// Makes the file system one without hard links either, as FAT through FUSE:
// only the checked plain rename is left.
void without_any_atomic_way()
{
    staged.without_noreplace = true;
    staged.call_hook = ([](fixture::file_call call, const std::string&, const std::string&) {
        return call == fixture::file_call::link ? EPERM : 0;
    });
}

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

// A folder of thousands of names in no order, as a hashed folder lists
// them: names sharing a beginning, differing past their first eight bytes
// after it, and in case alone, must come out exactly as the list order says.
void tst_filesystem::large_folder_sorts_in_list_order()
{
    std::vector<std::string> expected;
    for (int i = 0; i < 3000; ++i) {
        const std::string number = QByteArray::number(i * 7919 % 100003).toStdString();
        expected.push_back("IMG_2024_" + number + "_holiday.jpg");
        expected.push_back("IMG_2024_" + number + "_HOLIDAY.jpg");
        expected.push_back("IMG_2024_" + number + "_Holiday_" + std::string(1, char('a' + i % 26)) + ".jpg");
    }
    std::sort(expected.begin(), expected.end(), platform::list_order_less);
    std::vector<std::string> shuffled = expected;
    std::mt19937 random(7);
    std::shuffle(shuffled.begin(), shuffled.end(), random);

    platform::name_list names;
    for (const auto& name : shuffled)
        names.push_back(name);
    names.sort();
    QCOMPARE(names.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        QCOMPARE(std::string(names[i]), expected[i]);
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
    QVERIFY(!platform::list_files(folder + "/missing", staged));

    staged.listing_fault = ([&](const std::string& f) { return f == folder; });
    QVERIFY(!platform::list_files(folder, staged));
    QVERIFY(!platform::list_subfolders(folder, staged));
    staged.listing_fault = nullptr;
    QVERIFY(platform::list_files(folder, staged));
}

// Each case starts from a folder holding "a.txt" and "b.txt" (each with its
// name as content) and a subfolder "sub", on the disk and in memory.
void tst_filesystem::rename_data()
{
    QTest::addColumn<bool>("in_memory");
    QTest::addColumn<int>("way");
    QTest::addColumn<QByteArray>("from");
    QTest::addColumn<QByteArray>("to");
    QTest::addColumn<rename_outcome>("result");
    QTest::addColumn<QByteArray>("after");

    const QByteArray untouched = "a.txt=a.txt;b.txt=b.txt;sub=<dir>;";
    const QByteArray long_name(255, 'n');
    for (int way = 0; way < 4; ++way) {
        // On the disk, in memory, on the disk by hard link and unlink, and on
        // the disk by a checked plain rename.
        const bool in_memory = way == 1;
        const QByteArray where = QList<QByteArray>{"disk: ", "shm: ", "link: ", "plain: "}[way];
        auto row = [&](const char* tag) -> QTestData& {
            return QTest::newRow((where + tag).constData()) << in_memory << way;
        };
        row("plain") << QByteArray("a.txt") << QByteArray("c.txt") << rename_outcome::renamed << QByteArray("b.txt=b.txt;c.txt=a.txt;sub=<dir>;");
        row("existing name is never replaced") << QByteArray("a.txt") << QByteArray("b.txt") << rename_outcome::target_exists << untouched;
        row("onto a folder's name") << QByteArray("a.txt") << QByteArray("sub") << rename_outcome::target_exists << untouched;
        row("same name") << QByteArray("a.txt") << QByteArray("a.txt") << rename_outcome::unchanged << untouched;
        row("case only, case-sensitive") << QByteArray("a.txt") << QByteArray("A.txt") << rename_outcome::renamed << QByteArray("A.txt=a.txt;b.txt=b.txt;sub=<dir>;");
        row("non-utf8 bytes") << QByteArray("a.txt") << QByteArray("\xff\xfe") << rename_outcome::renamed << QByteArray("b.txt=b.txt;sub=<dir>;\xff\xfe=a.txt;");
        row("255 bytes") << QByteArray("a.txt") << long_name << rename_outcome::renamed << QByteArray("b.txt=b.txt;" + long_name + "=a.txt;sub=<dir>;");
        row("256 bytes") << QByteArray("a.txt") << long_name + "n" << rename_outcome::name_not_allowed << untouched;
        row("empty") << QByteArray("a.txt") << QByteArray() << rename_outcome::name_not_allowed << untouched;
        row("dot") << QByteArray("a.txt") << QByteArray(".") << rename_outcome::name_not_allowed << untouched;
        row("dot dot") << QByteArray("a.txt") << QByteArray("..") << rename_outcome::name_not_allowed << untouched;
        row("into a subfolder") << QByteArray("a.txt") << QByteArray("sub/a.txt") << rename_outcome::name_not_allowed << untouched;
        row("up and out") << QByteArray("a.txt") << QByteArray("../a.txt") << rename_outcome::name_not_allowed << untouched;
        row("nul byte") << QByteArray("a.txt") << QByteArray("x\0y", 3) << rename_outcome::name_not_allowed << untouched;
        row("missing file") << QByteArray("zz") << QByteArray("c.txt") << rename_outcome::entry_gone << untouched;
    }
}

void tst_filesystem::rename()
{
    QFETCH(bool, in_memory);
    QFETCH(int, way);
    QFETCH(QByteArray, from);
    QFETCH(QByteArray, to);
    QFETCH(rename_outcome, result);
    QFETCH(QByteArray, after);

    const auto dir = make_folder(in_memory);
    const std::string folder = path_of(*dir);
    make_files(folder, {"a.txt", "b.txt"});
    QVERIFY(::mkdir((folder + "/sub").c_str(), 0755) == 0);

    staged.without_noreplace = way == 2;
    if (way == 3)
        without_any_atomic_way();
    // The way the windows rename: through the folder their file list read.
    const auto held = platform::listed_folder::read(folder, staged);
    QVERIFY(held);
    const auto answer = held->rename(folder, str(from), str(to));
    QCOMPARE(answer.outcome, result);
    QCOMPARE(describe(read_folder(folder)), after);
}

void tst_filesystem::rename_between_folders_is_refused()
{
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"a"});
    QVERIFY(::mkdir((folder + "/sub").c_str(), 0755) == 0);

    QCOMPARE(platform::rename_no_replace(folder + "/a", folder + "/sub/a").outcome, rename_outcome::name_not_allowed);
    QCOMPARE(platform::rename_no_replace(folder + "/a", folder + "/./b").outcome, rename_outcome::name_not_allowed);
    QCOMPARE(platform::rename_no_replace(folder + "/a", folder + "/..").outcome, rename_outcome::name_not_allowed);
    QCOMPARE(platform::rename_no_replace(folder + "/a", folder + "/").outcome, rename_outcome::name_not_allowed);
    QCOMPARE(describe(read_folder(folder)), QByteArray("a=a;sub=<dir>;"));
    QCOMPARE(platform::rename_no_replace(folder + "/a", folder + "/b").outcome, rename_outcome::renamed);
    QCOMPARE(describe(read_folder(folder)), QByteArray("b=a;sub=<dir>;"));
}

void tst_filesystem::rename_of_a_link_renames_the_link()
{
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"target"});
    QVERIFY(::symlink("target", (folder + "/link").c_str()) == 0);
    QCOMPARE(platform::rename_no_replace(folder + "/link", folder + "/renamed").outcome, rename_outcome::renamed);
    char buffer[64] = {};
    QCOMPARE(::readlink((folder + "/renamed").c_str(), buffer, sizeof buffer - 1), ssize_t(6));
    QCOMPARE(QByteArray(buffer), QByteArray("target"));
    QCOMPARE(describe(read_folder(folder)), QByteArray("renamed=target;target=target;"));
}

// Two names of one file that differ only in case look exactly like a
// case-only rename on a file system that ignores case: the move goes
// through a temporary name, meets the second name, and must be put back
// without losing either name or leaving the temporary behind.
void tst_filesystem::same_file_under_two_names_is_put_back()
{
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"photo.JPG"});
    QVERIFY(::link((folder + "/photo.JPG").c_str(), (folder + "/photo.jpg").c_str()) == 0);
    const QByteArray untouched("photo.JPG=photo.JPG;photo.jpg=photo.JPG;");
    for (int way = 0; way < 3; ++way) {
        staged.without_noreplace = way == 1;
        if (way == 2)
            without_any_atomic_way();
        QCOMPARE(platform::rename_no_replace(folder + "/photo.JPG", folder + "/photo.jpg", staged).outcome,
                 rename_outcome::target_exists);
        QCOMPARE(describe(read_folder(folder)), untouched);
    }
}

void tst_filesystem::drives_start_at_root()
{
    // Home is a place of its own, wherever it is mounted.
    const auto home = make_folder();
    const QByteArray saved = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(path_of(*home) + "/"));
    const auto drives = platform::list_drives();
    qputenv("HOME", saved);
    QVERIFY(std::find(drives.begin(), drives.end(), path_of(*home)) != drives.end());
    QVERIFY(!drives.empty());
    QCOMPARE(drives.front(), std::string("/"));
    QCOMPARE(std::count(drives.begin(), drives.end(), std::string("/")), std::ptrdiff_t(1));
    QVERIFY(std::find(drives.begin(), drives.end(), std::string("/proc")) == drives.end());
    QVERIFY(std::find(drives.begin(), drives.end(), std::string("/sys")) == drives.end());
}

// The drive list offers what a desktop's file chooser offers: the root,
// the homes, removable and network media and disks mounted outside the
// system's trees; never the kernel's own file systems, memory ones, or
// whatever the system mounts for itself.
void tst_filesystem::places_for_files_data()
{
    QTest::addColumn<QString>("mount_point");
    QTest::addColumn<QString>("type");
    QTest::addColumn<QString>("source");
    QTest::addColumn<bool>("offered");
    QTest::newRow("root") << "/" << "ext4" << "/dev/vda" << true;
    QTest::newRow("root in a container") << "/" << "overlay" << "overlay" << true;
    QTest::newRow("homes") << "/home" << "ext4" << "/dev/sda3" << true;
    QTest::newRow("a stick") << "/media/ann/STICK" << "vfat" << "/dev/sdb1" << true;
    QTest::newRow("a stick, udisks") << "/run/media/ann/STICK" << "exfat" << "/dev/sdb1" << true;
    QTest::newRow("a disk by hand") << "/mnt/data" << "ntfs3" << "/dev/sdc1" << true;
    QTest::newRow("network share") << "/srv/share" << "nfs4" << "server:/export" << true;
    QTest::newRow("sshfs") << "/home/ann/remote" << "fuse.sshfs" << "ann@host:" << true;
    QTest::newRow("shared memory") << "/dev/shm" << "tmpfs" << "tmpfs" << false;
    QTest::newRow("cgroup tree") << "/sys/fs/cgroup" << "tmpfs" << "tmpfs" << false;
    QTest::newRow("cgroup") << "/sys/fs/cgroup/cpu" << "cgroup" << "cgroup" << false;
    QTest::newRow("run") << "/run" << "tmpfs" << "tmpfs" << false;
    QTest::newRow("a user's run") << "/run/user/1000" << "tmpfs" << "tmpfs" << false;
    QTest::newRow("the portal") << "/run/user/1000/doc" << "fuse.portal" << "portal" << false;
    QTest::newRow("gvfs") << "/run/user/1000/gvfs" << "fuse.gvfsd-fuse" << "gvfsd-fuse" << false;
    QTest::newRow("a snap") << "/snap/core/1234" << "squashfs" << "/dev/loop0" << false;
    QTest::newRow("boot") << "/boot/efi" << "vfat" << "/dev/sda1" << false;
    QTest::newRow("a bind mount into the system") << "/var/lib/docker/x" << "ext4" << "/dev/sda2" << false;
    QTest::newRow("a name that only starts like a system tree") << "/runner" << "ext4" << "/dev/sdd1" << true;
    QTest::newRow("a proc with no type of its own") << "/mnt/proc" << "proc" << "proc" << false;
}

void tst_filesystem::places_for_files()
{
    QFETCH(QString, mount_point);
    QFETCH(QString, type);
    QFETCH(QString, source);
    QFETCH(bool, offered);
    QCOMPARE(platform::is_place_for_files(mount_point.toStdString(), type.toStdString(), source.toStdString()),
             offered);
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
    QCOMPARE(describe_lines(held->entries().to_strings()), describe_lines({"a", "b"}));
    QCOMPARE(held->rename(listed, "a", "b").outcome, rename_outcome::target_exists);
    QCOMPARE(held->rename(listed, "a", "sub/c").outcome, rename_outcome::name_not_allowed);
    QCOMPARE(held->rename(listed, "a", "c").outcome, rename_outcome::renamed);
    QVERIFY(!platform::listed_folder::read(top + "/missing"));

    QVERIFY(::rename(listed.c_str(), moved.c_str()) == 0);
    QCOMPARE(held->rename(listed, "c", "d").outcome, rename_outcome::renamed);
    QCOMPARE(describe(read_folder(moved)), QByteArray("b=b;d=a;"));
    QCOMPARE(describe(read_folder(top)), QByteArray("moved=<dir>;"));
}

// On a case-insensitive FUSE mount the new name "A.txt" is found, as the
// file's own entry, under an inode number of its own. The hook answers as
// that file system does; the rename must still go through.
void tst_filesystem::case_only_rename_needs_no_inode_numbers()
{
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"a.txt"});
    staged.call_hook = ([](fixture::file_call call, const std::string& from, const std::string& to) {
        return call == fixture::file_call::rename_noreplace && from == "a.txt" && to == "A.txt" ? EEXIST : 0;
    });
    const auto held = platform::listed_folder::read(folder, staged);
    QVERIFY(held);
    QCOMPARE(held->rename(folder, "a.txt", "A.txt").outcome, rename_outcome::renamed);
    QCOMPARE(describe(read_folder(folder)), QByteArray("A.txt=a.txt;"));
}

// Only a target that could be the file's own name in another case is worth
// the move aside: a collision with another name leaves the file under its
// own name throughout, even where the two look alike in kind, size and time
// (as any two files of one size written within FAT's two seconds do).
void tst_filesystem::plain_collision_is_not_moved_aside()
{
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"a"});
    QVERIFY(::link((folder + "/a").c_str(), (folder + "/b").c_str()) == 0);
    int calls = 0;
    staged.call_hook = ([&](fixture::file_call call, const std::string&, const std::string&) {
        calls += call == fixture::file_call::rename_noreplace;
        return 0;
    });
    QCOMPARE(platform::rename_no_replace(folder + "/a", folder + "/b", staged).outcome, rename_outcome::target_exists);
    QCOMPARE(calls, 1);
    QCOMPARE(describe(read_folder(folder)), QByteArray("a=a;b=a;"));
}

// The list is a snapshot; what stands under a listed name when the run
// checks the list may no longer be a file. The check leans on a watch of the
// folder, which other lists of the same folder share in the kernel: one of
// them dropped, or checked first, must not hide the change from this one.
void tst_filesystem::entry_that_is_no_longer_a_file_is_refused_data()
{
    QTest::addColumn<QByteArray>("now");
    QTest::addColumn<QByteArray>("other_list");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("folder") << QByteArray("folder") << QByteArray() << QByteArray("a=<dir>;");
    QTest::newRow("fifo") << QByteArray("fifo") << QByteArray() << QByteArray("a=<special>;");
    QTest::newRow("gone") << QByteArray("gone") << QByteArray() << QByteArray("");
    QTest::newRow("folder, another list dropped") << QByteArray("folder") << QByteArray("dropped")
                                                  << QByteArray("a=<dir>;");
    QTest::newRow("folder, another list checked first") << QByteArray("folder") << QByteArray("checked")
                                                        << QByteArray("a=<dir>;");
}

void tst_filesystem::entry_that_is_no_longer_a_file_is_refused()
{
    QFETCH(QByteArray, now);
    QFETCH(QByteArray, other_list);
    QFETCH(QByteArray, after);
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"a"});
    auto held = platform::listed_folder::read(folder);
    auto other = platform::listed_folder::read(folder);
    QVERIFY(held && other);
    if (other_list == "dropped")
        other.reset();
    const std::string a = folder + "/a";
    QVERIFY(::unlink(a.c_str()) == 0);
    if (now == "folder")
        QVERIFY(::mkdir(a.c_str(), 0755) == 0);
    if (now == "fifo")
        QVERIFY(::mkfifo(a.c_str(), 0644) == 0);
    if (other_list == "checked")
        other->check();
    held->check();
    QCOMPARE(held->rename(folder, "a", "b").outcome, rename_outcome::entry_gone);
    QCOMPARE(describe(read_folder(folder)), after);
}

// An empty path is no folder at all, not the current one: "" joined with a
// name is "/name".
void tst_filesystem::empty_folder_path_lists_nothing()
{
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    make_files(folder, {"a"});
    QVERIFY(::mkdir((folder + "/sub").c_str(), 0755) == 0);
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(QString::fromStdString(folder)));
    const bool listed = platform::list_files("") || platform::list_subfolders("") ||
                        platform::listed_folder::read("") || platform::open_folder("").is_open();
    QVERIFY(QDir::setCurrent(before));
    QVERIFY(!listed);
}

// Moved aside to look whether the name in another case is its own entry
// (here a second name of the file), the file cannot go back: another
// program has taken its old name meanwhile. It must not stay hidden under
// the temporary name, even when every numbered name beside it is taken
// too, and a long name is cut where a character begins.
void tst_filesystem::file_that_cannot_go_back_stays_visible_data()
{
    QTest::addColumn<QByteArray>("old_name");
    QTest::addColumn<QByteArray>("new_name");
    QTest::addColumn<bool>("numbered_names_taken");
    QTest::addColumn<QByteArray>("left_as");

    const QByteArray e_acute = "\xc3\xa9", E_acute = "\xc3\x89";
    QTest::newRow("numbered") << QByteArray("one") << QByteArray("ONE") << false << QByteArray("one\\.fennimo-1");
    QTest::newRow("all numbered names taken")
        << QByteArray("one") << QByteArray("ONE") << true << QByteArray("one\\.fennimo-[0-9]+-[0-9]+");
    QTest::newRow("cut before a character") << e_acute.repeated(127) + "x" << E_acute.repeated(127) + "x" << false
                                            << e_acute.repeated(122) + "\\.fennimo-1";
}

void tst_filesystem::file_that_cannot_go_back_stays_visible()
{
    QFETCH(QByteArray, old_name);
    QFETCH(QByteArray, new_name);
    QFETCH(bool, numbered_names_taken);
    QFETCH(QByteArray, left_as);
    const auto dir = make_folder();
    const std::string folder = path_of(*dir);
    const std::string from = str(old_name), to = str(new_name);
    make_files(folder, {from});
    QVERIFY(::link((folder + "/" + from).c_str(), (folder + "/" + to).c_str()) == 0);
    const QRegularExpression numbered("\\.fennimo-[0-9]+$");
    staged.call_hook = ([&](fixture::file_call call, const std::string& source, const std::string& target) {
        if (call != fixture::file_call::rename_noreplace || source.find(".fennimo-temp-") == std::string::npos)
            return 0;
        if (target == from)
            write_file(folder, from, "intruder");
        return numbered_names_taken && numbered.match(QString::fromStdString(target)).hasMatch() ? EEXIST : 0;
    });
    const auto answer = platform::rename_no_replace(folder + "/" + from, folder + "/" + to, staged);
    QCOMPARE(answer.outcome, rename_outcome::left_aside);
    QVERIFY2(QRegularExpression(QRegularExpression::anchoredPattern(QString::fromUtf8(left_as)))
                 .match(QString::fromUtf8(bytes(answer.left_as)))
                 .hasMatch(),
             answer.left_as.c_str());
    QCOMPARE(describe(read_folder(folder)),
             describe({{from, "intruder"}, {answer.left_as, from}, {to, from}}));
}

QTEST_APPLESS_MAIN(tst_filesystem)
#include "tst_filesystem.moc"

// Hostile folders, renamed as a run renames them: through the folder as it
// was listed, checked and held open, one name after another, while another
// program deletes, creates and replaces entries or moves the folder away. After each
// case, every entry that was there must still be there under as many names
// and with the same bytes, nothing outside the folder may have changed, and
// the names must be those that a small model of the promise predicts. The
// model is written here on its own, from the promise, not from the code.

#include "platform/files/listed_folder.h"

#include "child_namespace.h"
#include "folder_fixture.h"
#include "staged_files.h"

#include <QtTest>

#include <cstring>
#include <linux/fs.h>
#include <map>
#include <set>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/statvfs.h>
#include <sys/socket.h>
#include <sys/un.h>

using namespace fixture;

namespace {

// What each test stages: its folders are opened on it, and cleanup() stages
// nothing again.
fixture::staged_files staged;

// One entry as the folder holds it; two names of one inode are one entry.
struct seen {
    char type;          // f file, l link, d folder, p FIFO, s socket
    ino_t inode;
    nlink_t links;
    std::string bytes;  // a file's content or a link's target
    bool operator==(const seen&) const = default;
};
using inventory = std::map<std::string, seen>;

inventory take_inventory(const std::string& folder)
{
    inventory out;
    for_each_entry(folder, [&](const std::string& name, const std::string& path, const struct stat& st) {
        seen item{'s', st.st_ino, st.st_nlink, {}};
        if (S_ISREG(st.st_mode)) {
            item.type = 'f';
            item.bytes = file_content(path);
        } else if (S_ISLNK(st.st_mode)) {
            item.type = 'l';
            char target[4096];
            const auto n = ::readlink(path.c_str(), target, sizeof target);
            item.bytes.assign(target, std::size_t(std::max<ssize_t>(n, 0)));
        } else if (S_ISDIR(st.st_mode)) {
            item.type = 'd';
            item.links = 0; // a folder's count follows its subfolders, not its names
        } else if (S_ISFIFO(st.st_mode)) {
            item.type = 'p';
        }
        out[name] = item;
    });
    return out;
}

// Each inode with the number of names it has and what it holds: a rename
// changes names only, so this is what no run may change.
std::map<ino_t, std::pair<int, seen>> by_inode(const inventory& names)
{
    std::map<ino_t, std::pair<int, seen>> out;
    for (const auto& [name, item] : names) {
        auto& slot = out[item.inode];
        ++slot.first;
        slot.second = item;
    }
    return out;
}

std::set<std::string> names_of(const inventory& folder)
{
    std::set<std::string> out;
    for (const auto& [name, item] : folder)
        out.insert(name);
    return out;
}

QByteArray shown(const std::set<std::string>& names)
{
    QByteArray out;
    for (const auto& name : names)
        out += bytes(name).toPercentEncoding(" .-_") + " ";
    return out;
}

// "kind/name" or "kind/name/extra": names never hold '/', so the first two
// separators split it (a link's target may hold more).
struct entry_shape {
    char kind;
    std::string name, extra;
};
entry_shape parse(const QByteArray& text)
{
    const std::string s = str(text);
    const auto cut = s.find('/', 2);
    return {s[0], s.substr(2, cut == std::string::npos ? std::string::npos : cut - 2),
            cut == std::string::npos ? std::string() : s.substr(cut + 1)};
}

void make_entry(const std::string& folder, const entry_shape& e)
{
    const std::string path = folder + "/" + e.name;
    switch (e.kind) {
    case 'f':
        write_file(folder, e.name, e.name);
        break;
    case 'd':
        QVERIFY(::mkdir(path.c_str(), 0755) == 0);
        break;
    case 'l':
        QVERIFY(::symlink(e.extra.c_str(), path.c_str()) == 0);
        break;
    case 'h':
        QVERIFY(::link((folder + "/" + e.extra).c_str(), path.c_str()) == 0);
        break;
    case 'p':
        QVERIFY(::mkfifo(path.c_str(), 0644) == 0);
        break;
    case 's': {
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        QVERIFY(path.size() < sizeof address.sun_path);
        std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
        QVERIFY(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
        ::close(fd);
        break;
    }
    }
}

// The flags a remount of the mount at `path` must keep: a namespace a user
// made may not clear those its mount came with.
unsigned long kept_flags(const std::string& path)
{
    struct statvfs fs {};
    if (::statvfs(path.c_str(), &fs) != 0)
        return 0;
    unsigned long flags = 0;
    for (const auto& [st, ms] : {std::pair{ST_NOSUID, MS_NOSUID}, {ST_NODEV, MS_NODEV}, {ST_NOEXEC, MS_NOEXEC},
                                {ST_NOATIME, MS_NOATIME}, {ST_NODIRATIME, MS_NODIRATIME}, {ST_RELATIME, MS_RELATIME}})
        if (fs.f_flag & st)
            flags |= ms;
    return flags;
}

// The promise, as a model: a rename happens when the new name is a plain
// name that no entry has, and the old name is a file or a link that the file
// system lets change; otherwise nothing happens.
struct model {
    std::map<std::string, char> kind;
    std::set<std::string> frozen;
    bool read_only = false;

    static bool plain(const std::string& name)
    {
        return !name.empty() && name != "." && name != ".." && name.size() <= 255 &&
               name.find('/') == std::string::npos && name.find('\0') == std::string::npos;
    }
    void rename(const std::string& from, const std::string& to)
    {
        const auto it = kind.find(from);
        if (from == to || !plain(to) || it == kind.end() || (it->second != 'f' && it->second != 'l') ||
            frozen.count(from) || read_only || kind.count(to))
            return;
        kind[to] = it->second;
        kind.erase(from);
    }
    std::set<std::string> names() const
    {
        std::set<std::string> out;
        for (const auto& [name, k] : kind)
            out.insert(name);
        return out;
    }
};

} // namespace

class tst_rename_corpus : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { staged.reset(); }
    void corpus_data();
    void corpus();
};

void tst_rename_corpus::corpus_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<QByteArrayList>("entries");
    QTest::addColumn<QByteArrayList>("renames");
    QTest::addColumn<QByteArray>("fault");
    QTest::addColumn<int>("at");

    const QByteArray n255(255, 'n');
    const QByteArray long_name = "f/" + n255;
    const QByteArrayList abc = {"f/a", "f/b", "f/c", "d/sub"};
    struct row {
        const char* tag;
        QByteArrayList entries, renames;
        QByteArray fault = {};
        int at = 0;
    };
    const row rows[] = {
        {"chain", abc, {"a/b", "b/d", "a/b", "c/a"}},
        {"swap", abc, {"a/b", "b/a"}},
        {"rotate through a free name", abc, {"a/x", "b/a", "c/b", "x/c"}},
        {"names not allowed, and a line break that is", abc, {"a/", "a/.", "a/..", "a/sub/a", "a/../a", "a/" + n255 + "x", "a/x\nx"}},
        {"onto a folder, a link, a FIFO", {"f/a", "d/sub", "l/dangling/nowhere", "p/fifo"},
         {"a/sub", "a/dangling", "a/fifo", "a/a"}},
        {"bytes that are not UTF-8", {"f/\xff\xfe", "f/\x80"}, {"\xff\xfe/\xfe\xff", "\x80/\xff\xfe"}},
        {"control characters", {"f/a\x01\tb", "f/\r\n"}, {"a\x01\tb/\x1b[31m", "\r\n/ \x7f "}},
        {"255-byte names", {long_name, "f/a"}, {n255 + "/" + n255.left(254) + "m", "a/" + n255}},
        {"NFC and NFD", {"f/\xc3\xa9.txt", "f/e\xcc\x81.txt"},
         {"\xc3\xa9.txt/e\xcc\x81.txt", "e\xcc\x81.txt/x.txt", "\xc3\xa9.txt/e\xcc\x81.txt"}},
        {"hard links", {"f/one", "h/two/one"}, {"one/two", "two/three"}},
        {"links of every kind",
         {"f/a", "l/to_file/a", "l/to_sub/sub", "d/sub", "l/dangling/gone", "l/out/../sibling/s", "l/self/self"},
         {"to_file/1", "to_sub/2", "dangling/3", "out/4", "self/5"}},
        {"FIFO, socket and folder stay", {"p/fifo", "s/sock", "d/sub"}, {"fifo/x", "sock/y", "sub/z"}},
        {"hidden names", {"f/.hidden", "f/a"}, {".hidden/visible", "a/.a"}},
        {"file deleted", abc, {"a/x", "b/y"}, "delete/b", 1},
        {"target created", abc, {"a/x", "b/y"}, "create/y", 1},
        // Between the listing and the run, which checks the list once.
        {"file replaced by a folder", abc, {"a/x", "b/y", "c/z"}, "folder/b", 0},
        {"file replaced by a FIFO", abc, {"a/x", "b/y"}, "fifo/b", 0},
        {"folder moved", abc, {"a/x", "b/y", "c/z"}, "move", 1},
        {"folder removed", abc, {"a/x", "b/y"}, "remove", 1},
        {"immutable file", abc, {"a/x", "b/y"}, "immutable/a", 0},
        {"read-only bind mount", abc, {"a/x", "b/y"}, "read-only", 0},
    };
    for (int way = 0; way < 3; ++way) {
        // The file system's own no-replace rename; a hard link and an unlink;
        // a checked plain rename.
        const char* ways[] = {"renameat2", "link", "plain"};
        for (const auto& r : rows)
            QTest::addRow("%s: %s", ways[way], r.tag) << way << r.entries << r.renames << r.fault << r.at;
    }
}

void tst_rename_corpus::corpus()
{
    QFETCH(int, way);
    QFETCH(QByteArrayList, entries);
    QFETCH(QByteArrayList, renames);
    QFETCH(QByteArray, fault);
    QFETCH(int, at);

    const auto dir = make_folder();
    const std::string top = path_of(*dir);
    const std::string folder = top + "/listed";
    const std::string sibling = top + "/sibling";
    make_path(folder);
    make_path(sibling);
    make_files(sibling, {"s", "a", "b"});
    model expected;
    for (const auto& text : entries) {
        const entry_shape e = parse(text);
        make_entry(folder, e);
        expected.kind[e.name] = e.kind == 'h' ? 'f' : e.kind;
    }
    // "verb/name" or just "verb".
    const std::string verb = str(fault.split('/').value(0));
    const std::string hurt = str(fault.split('/').value(1));
    const bool at_start = verb == "immutable" || verb == "read-only";
    std::string run_in = folder;
    std::string ends_in = folder;
    std::set<std::string> top_after = {"listed", "sibling"};

    if (verb == "immutable") {
        if (!set_file_flags(folder + "/" + hurt, FS_IMMUTABLE_FL, true))
            QSKIP(qPrintable("the kernel refuses the immutable attribute here: " + QString::fromLocal8Bit(std::strerror(errno))));
        expected.frozen.insert(hurt);
    }
    std::string mount_point;
    if (verb == "read-only") {
        // In a mount namespace of its own the row may mount as any user,
        // and a mount left behind by a failure dies with the child.
        if (const auto child = fixture::row_in_child(fixture::child_root::machine)) {
            QVERIFY2(child->isEmpty(), qPrintable(*child));
            return;
        }
        mount_point = top + "/read-only";
        make_path(mount_point);
        if (::mount(folder.c_str(), mount_point.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            ::mount(nullptr, mount_point.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY | kept_flags(mount_point),
                    nullptr) != 0) {
            const QString why = QString::fromLocal8Bit(std::strerror(errno));
            ::umount(mount_point.c_str());
            ::rmdir(mount_point.c_str());
            QSKIP(qPrintable("the kernel refuses a read-only bind mount here: " + why));
        }
        run_in = mount_point;
        expected.read_only = true;
    }

    const auto sibling_before = take_inventory(sibling);
    const auto before = take_inventory(folder);
    auto fault_before = before;
    auto fault_after = before;

    staged.without_noreplace = way > 0;
    if (way == 2)
        staged.call_hook = ([](fixture::file_call call, const std::string&, const std::string&) {
            return call == fixture::file_call::link ? EPERM : 0;
        });
    auto held = platform::listed_folder::read(run_in, staged);
    QVERIFY(held);
    for (int i = 0; i < renames.size(); ++i) {
        if (i == at && !at_start && !verb.empty()) {
            // Another program acts between two renames of the run, or
            // between the listing and the run.
            fault_before = take_inventory(folder);
            const std::string path = folder + "/" + hurt;
            if (verb == "delete" || verb == "folder" || verb == "fifo")
                QVERIFY(::unlink(path.c_str()) == 0);
            if (verb == "delete") {
                expected.kind.erase(hurt);
            } else if (verb == "create") {
                write_file(folder, hurt, "intruder");
                expected.kind[hurt] = 'f';
            } else if (verb == "folder" || verb == "fifo") {
                expected.kind[hurt] = verb == "folder" ? 'd' : 'p';
                make_entry(folder, {expected.kind[hurt], hurt, {}});
            } else if (verb == "move") {
                ends_in = top + "/moved";
                QVERIFY(::rename(folder.c_str(), ends_in.c_str()) == 0);
                top_after = {"moved", "sibling"};
            } else if (verb == "remove") {
                std::filesystem::remove_all(folder);
                expected.kind.clear();
                top_after = {"sibling"};
            }
            fault_after = take_inventory(ends_in);
        }
        if (i == 0)
            held->check();
        const entry_shape r = parse("x/" + renames[i]);
        held->rename(run_in, r.name, r.extra);
        expected.rename(r.name, r.extra);
    }
    staged.reset();
    held.reset(); // the open folder would keep the mount busy
    if (!mount_point.empty()) {
        QVERIFY(::umount(mount_point.c_str()) == 0);
        QVERIFY(::rmdir(mount_point.c_str()) == 0);
    }
    if (verb == "immutable")
        QVERIFY(set_file_flags(folder + "/" + hurt, FS_IMMUTABLE_FL, false));

    const auto after = take_inventory(ends_in);
    if (verb.empty() || at_start) {
        QCOMPARE(by_inode(after), by_inode(before));
    } else {
        QCOMPARE(by_inode(fault_before), by_inode(before));
        QCOMPARE(by_inode(after), by_inode(fault_after));
    }
    QCOMPARE(shown(names_of(after)), shown(expected.names()));
    QCOMPARE(take_inventory(sibling), sibling_before);
    QCOMPARE(shown(names_of(take_inventory(top))), shown(top_after));
}

QTEST_APPLESS_MAIN(tst_rename_corpus)
#include "tst_rename_corpus.moc"

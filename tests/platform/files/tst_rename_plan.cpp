// A plan must be exactly the run that follows it. Folders of files, links,
// folders and FIFOs whose names collide, chain, swap and differ only in
// case, renamed in list order: before each rename of the run the plan is
// asked, over the image it took of the folder before the run began, and its
// outcome and the names it then holds must be the run's, file by file. On
// every way a file system renames, including a file system that ignores
// case (the kernel's kind, and FUSE's, whose lookups lag behind its
// renames), and with refusals staged on chosen names.

#include "platform/files/file_calls.h"
#include "platform/files/folder_image.h"
#include "platform/files/listed_folder.h"
#include "platform/files/move_permission.h"
#include "platform/files/name_list.h"
#include "platform/files/rename.h"
#include "platform/files/case_fold.h"

#include "folder_fixture.h"
#include "staged_files.h"

#include <QtTest>

#include <algorithm>
#include <map>
#include <optional>
#include <random>
#include <set>

using namespace fixture;
using platform::entry_type;
using platform::file_calls;
using platform::listed_entry;

namespace {

// What each test stages: its folders are opened on it, and cleanup() stages
// nothing again.
fixture::staged_files files_staged;

// A file system that ignores case, on top of the real folder, which keeps
// case: each name the kernel is asked for finds the entry whose name equals
// it without case. The kernel's kind renames atomically; the FUSE kind
// (FAT, exFAT) has neither RENAME_NOREPLACE nor hard links, and the kernel
// goes on finding a name it has looked up after the entry left it, here
// for as long as one rename takes. (For longer, no plan could foresee what
// the kernel still remembers when the run comes.)
class case_blind_file_system final : public file_calls {
public:
    explicit case_blind_file_system(bool fuse) : m_fuse(fuse) {}
    file_calls* system = nullptr;
    void forget() { m_remembered.clear(); }

    int look(std::string_view name, entry_type& type) override
    {
        if (const auto remembered = m_remembered.find(std::string(name)); remembered != m_remembered.end()) {
            type = remembered->second;
            return 0;
        }
        const auto real = real_name(name);
        if (!real)
            return ENOENT;
        const int error = system->look(*real, type);
        if (error == 0 && m_fuse)
            m_remembered[std::string(name)] = type;
        return error;
    }
    int rename_noreplace(std::string_view from, std::string_view to) override
    {
        return create(from, to, EINVAL, [&](const std::string& real) { return system->rename_noreplace(real, to); });
    }
    int link(std::string_view from, std::string_view to) override
    {
        return create(from, to, EPERM, [&](const std::string& real) { return system->link(real, to); });
    }
    int unlink(std::string_view name) override
    {
        const auto real = real_name(name);
        if (!real)
            return ENOENT;
        m_remembered.erase(std::string(name));
        return system->unlink(*real);
    }
    int plain_rename(std::string_view from, std::string_view to) override
    {
        const auto real = real_name(from);
        if (!real)
            return ENOENT;
        const auto taken = real_name(to);
        if (taken && *taken != *real)
            return EEXIST; // never asked for: the rename checks first
        m_remembered.erase(std::string(from));
        m_remembered.erase(std::string(to));
        return system->plain_rename(*real, to);
    }
    int list(std::vector<listed_entry>& entries) override { return system->list(entries); }
    int may_write() override { return system->may_write(); }

private:
    // A call that makes a new name: the kernel finds both names first, and
    // FUSE's file system then refuses what it does not support.
    template <typename Call>
    int create(std::string_view from, std::string_view to, int unsupported, Call call)
    {
        const auto real = real_name(from);
        if (!real)
            return ENOENT;
        entry_type type{};
        if (look(to, type) == 0)
            return EEXIST;
        return m_fuse ? unsupported : call(*real);
    }

    std::optional<std::string> real_name(std::string_view name)
    {
        std::vector<listed_entry> entries;
        system->list(entries);
        const std::string folded = platform::fold_case(name);
        for (const auto& entry : entries)
            if (platform::fold_case(entry.name) == folded)
                return entry.name;
        return std::nullopt;
    }

    bool m_fuse;
    std::map<std::string, entry_type> m_remembered;
};

enum way { atomic, hard_link, plain, case_blind, fuse };

const char* const outcome_codes = "RUENGSL";

char code_of(platform::rename_outcome outcome)
{
    return outcome_codes[static_cast<int>(outcome)];
}

QByteArray names_and_types(const std::vector<listed_entry>& entries)
{
    std::set<std::string> lines;
    for (const auto& entry : entries)
        lines.insert(entry.name + "=" + "flda"[static_cast<int>(entry.type)]);
    QByteArray out;
    for (const auto& line : lines)
        out += bytes(line) + ";";
    return out;
}

// The user whose part a test takes, as root, where permissions differ by
// user: "nobody".
constexpr uid_t another_user = 65534;

// "kind/name" or "kind/name/extra", as tst_rename_corpus writes them: f
// file, h hard link to extra, l symbolic link to extra, d folder, p FIFO;
// and files the kernel may not let go: i immutable and a append-only (the
// caller sets the flags), o another_user's.
void make_entry(const std::string& folder, const QByteArray& text)
{
    const QList<QByteArray> parts = text.split('/');
    const std::string name = str(parts.value(1)), extra = str(parts.value(2));
    const std::string path = folder + "/" + name;
    switch (parts.value(0).at(0)) {
    case 'f':
        write_file(folder, name, name);
        break;
    case 'i':
    case 'a':
    case 'o':
        write_file(folder, name, name);
        if (text.startsWith('o'))
            QVERIFY(::chown(path.c_str(), another_user, another_user) == 0);
        break;
    case 'h':
        QVERIFY(::link((folder + "/" + extra).c_str(), path.c_str()) == 0);
        break;
    case 'l':
        QVERIFY(::symlink(extra.c_str(), path.c_str()) == 0);
        break;
    case 'd':
        QVERIFY(::mkdir(path.c_str(), 0755) == 0);
        break;
    case 'p':
        QVERIFY(::mkfifo(path.c_str(), 0644) == 0);
        break;
    }
}

// A random folder and a random run over it, from a small pool of names so
// that collisions, chains, swaps and names in another case are common.
struct random_case {
    QByteArrayList entries, renames;
    QByteArray staged;
};

random_case make_random_case(std::mt19937& random, bool ignores_case, int calls_staged)
{
    static const char* const pool[] = {"a",     "A",     "b",         "B",         "x.txt",  "X.TXT", "y.txt",
                                       "Y.txt", "c.d",   "photo.JPG", "photo.jpg", "\xc3\xa9.txt", "\xc3\x89.txt"};
    const auto pick = [&](int n) { return int(random() % unsigned(n)); };
    random_case out;
    std::vector<std::string> files;
    std::set<std::string> taken;
    const int count = 2 + pick(6);
    for (int i = 0; i < count; ++i) {
        const std::string name = pool[pick(std::size(pool))];
        if (taken.count(ignores_case ? platform::fold_case(name) : name))
            continue;
        taken.insert(ignores_case ? platform::fold_case(name) : name);
        const int kind = pick(10);
        std::string shape = "f/" + name;
        if (kind == 6 && !files.empty())
            shape = "h/" + name + "/" + files[std::size_t(pick(int(files.size())))];
        else if (kind == 7)
            shape = "l/" + name + "/nowhere";
        else if (kind == 8)
            shape = "d/" + name;
        else if (kind == 9)
            shape = "p/" + name;
        if (shape[0] == 'f')
            files.push_back(name);
        out.entries << bytes(shape);
    }
    const int renames = 1 + pick(8);
    for (int i = 0; i < renames; ++i) {
        const std::string from = pool[pick(std::size(pool))];
        std::string to = pool[pick(std::size(pool))];
        if (pick(10) == 0)
            to = pick(2) ? from : std::string("sub/") + from;
        out.renames << bytes(from + "|" + to);
    }
    if (pick(4) == 0) {
        // Without RENAME_NOREPLACE the run takes ways the image cannot know
        // of (it plans the atomic one); a refusal is staged only on calls
        // both make.
        const char* const calls[] = {"rename_noreplace", "look", "link", "unlink", "plain_rename"};
        const int errors[] = {EPERM, EACCES, EIO};
        out.staged = bytes(std::string(calls[pick(calls_staged)]) + "|" +
                           pool[pick(std::size(pool))] + "|" + std::to_string(errors[pick(3)]));
    }
    return out;
}

fixture::file_call call_named(const QByteArray& name)
{
    using fixture::file_call;
    if (name == "look")
        return file_call::look;
    if (name == "link")
        return file_call::link;
    if (name == "unlink")
        return file_call::unlink;
    if (name == "plain_rename")
        return file_call::plain_rename;
    return file_call::rename_noreplace;
}

} // namespace

class tst_rename_plan : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { files_staged.reset(); }
    void plan_is_the_run_data();
    void plan_is_the_run();
    void way_refused_once_per_folder_data();
    void way_refused_once_per_folder();
    void renames_that_may_meet_keep_the_list_order_data();
    void renames_that_may_meet_keep_the_list_order();
};

void tst_rename_plan::plan_is_the_run_data()
{
    QTest::addColumn<int>("way");
    QTest::addColumn<QByteArrayList>("entries");
    QTest::addColumn<QByteArrayList>("renames");
    QTest::addColumn<QByteArray>("staged");
    // The run's outcomes, a letter each (see outcome_codes), where a row
    // knows them.
    QTest::addColumn<QByteArray>("outcomes");
    // The renames are of listed files, one each, and meet no other name:
    // the run makes them in the folder's own order, the plan in the list's.
    QTest::addColumn<bool>("any_order");

    const QByteArray e = "\xc3\xa9.txt", E = "\xc3\x89.txt";
    QTest::newRow("second name of a file in another case")
        << int(atomic) << QByteArrayList{"f/photo.JPG", "h/photo.jpg/photo.JPG"}
        << QByteArrayList{"photo.JPG|photo.jpg"} << QByteArray() << QByteArray("E") << false;
    // Replacing x by Y, then y by Y.
    QTest::newRow("a name in another case on FUSE")
        << int(fuse) << QByteArrayList{"f/x.txt", "f/y.txt"}
        << QByteArrayList{"x.txt|Y.tYt", "y.txt|y.tYt", "y.txt|Y.txt"} << QByteArray() << QByteArray("RER") << false;
    QTest::newRow("case only beyond ASCII") << int(atomic) << QByteArrayList{"f/" + e} << QByteArrayList{e + "|" + E}
                                            << QByteArray() << QByteArray("R") << false;
    QTest::newRow("case only beyond ASCII, ignoring case")
        << int(case_blind) << QByteArrayList{"f/" + e, "f/b"} << QByteArrayList{e + "|" + E, "b|" + e}
        << QByteArray() << QByteArray("RE") << false;
    QTest::newRow("case only on FUSE, another file alike beside it")
        << int(fuse) << QByteArrayList{"f/keep.txt", "h/other.txt/keep.txt"}
        << QByteArrayList{"keep.txt|KEEP.txt", "other.txt|KEEP.TXT", "other.txt|Other.txt"} << QByteArray()
        << QByteArray("RER") << false;

    // What the kernel refuses for the file's own sake, which no listing
    // shows; a refusal comes after the name taken. "S" makes the folder
    // sticky, as /tmp is, "W" one the user may not write; in both the
    // plan and the run are made as another user.
    QTest::newRow("immutable and append-only files")
        << int(atomic) << QByteArrayList{"f/a", "i/b", "a/c"} << QByteArrayList{"a|x", "b|y", "c|z"} << QByteArray()
        << QByteArray("RSS") << false;
    QTest::newRow("an immutable file whose new name is taken")
        << int(atomic) << QByteArrayList{"i/b", "f/y"} << QByteArrayList{"b|y"} << QByteArray() << QByteArray("E")
        << false;
    QTest::newRow("an immutable file, by a hard link") << int(hard_link) << QByteArrayList{"i/b"}
                                                       << QByteArrayList{"b|y"} << QByteArray() << QByteArray("S")
                                                       << false;
    QTest::newRow("a sticky folder: another's file, and one's own")
        << int(atomic) << QByteArrayList{"S", "f/theirs", "o/mine"} << QByteArrayList{"theirs|x", "mine|y"}
        << QByteArray() << QByteArray("SR") << false;
    QTest::newRow("a folder the user may not write") << int(atomic) << QByteArrayList{"W", "o/mine"}
                                                     << QByteArrayList{"mine|y"} << QByteArray() << QByteArray("S")
                                                     << false;

    const char* const ways[] = {"renameat2", "link", "plain", "case-blind", "FUSE"};
    std::mt19937 random(20);
    for (int w = atomic; w <= fuse; ++w)
        for (int i = 0; i < 60; ++i) {
            const random_case c = make_random_case(random, w >= case_blind, w < case_blind ? 5 : w == case_blind ? 2 : 1);
            QTest::addRow("%s, random %d", ways[w], i) << w << c.entries << c.renames << c.staged << QByteArray()
                                                       << false;
        }
    // A file left as it is, a name not allowed, a refusal of the system's.
    for (int w = atomic; w <= fuse; ++w)
        QTest::addRow("%s, in the folder's order", ways[w])
            << w << QByteArrayList{"f/a", "f/b", "f/c.txt", "f/keep", "l/link/nowhere", "d/sub", "p/fifo", "f/.hidden"}
            << QByteArrayList{"a|x", "b|sub/b", "c.txt|c.md", "link|to", "keep|keep"}
            << (w == atomic ? QByteArray("rename_noreplace|c.txt|" + QByteArray::number(EACCES)) : QByteArray())
            << QByteArray(w == atomic ? "RNSRU" : "RNRRU") << true;
}

void tst_rename_plan::plan_is_the_run()
{
    QFETCH(int, way);
    QFETCH(QByteArrayList, entries);
    QFETCH(QByteArrayList, renames);
    QFETCH(QByteArray, staged);
    QFETCH(QByteArray, outcomes);
    QFETCH(bool, any_order);

    const auto dir = make_folder(true);
    const std::string folder = path_of(*dir);
    const bool as_another_user = entries.contains("S") || entries.contains("W");
    if ((as_another_user || entries.join().contains("o/")) && ::geteuid() != 0)
        QSKIP("only root can take another user's part");
    // Root's own, after the user's part has been given back.
    const auto unflag = qScopeGuard([&] {
        for (const auto& entry : entries)
            if (entry.startsWith("i/") || entry.startsWith("a/"))
                set_file_flags(folder + "/" + str(entry.mid(2)), FS_IMMUTABLE_FL | FS_APPEND_FL, false);
    });
    for (const auto& entry : entries) {
        if (entry == "S" || entry == "W")
            QVERIFY(::chmod(folder.c_str(), entry == "S" ? 01777 : 0555) == 0);
        else
            make_entry(folder, entry);
        if ((entry.startsWith("i/") || entry.startsWith("a/")) &&
            !set_file_flags(folder + "/" + str(entry.mid(2)), entry.startsWith('i') ? FS_IMMUTABLE_FL : FS_APPEND_FL, true))
            QSKIP("the kernel refuses these flags here");
    }
    if (as_another_user)
        QVERIFY(::seteuid(another_user) == 0);
    const auto as_root_again = qScopeGuard([&] {
        if (as_another_user)
            QVERIFY(::seteuid(0) == 0);
    });

    case_blind_file_system blind(way == fuse);
    if (way >= case_blind)
        files_staged.stand_in = ([&](file_calls& system) -> file_calls& {
            blind.system = &system;
            blind.forget();
            return blind;
        });
    files_staged.without_noreplace = way == hard_link || way == plain;
    const QList<QByteArray> refusal = staged.split('|');
    files_staged.call_hook = ([&](fixture::file_call call, const std::string& from, const std::string&) {
        if (way == plain && call == fixture::file_call::link)
            return EPERM;
        return refusal.size() == 3 && call == call_named(refusal[0]) && from == str(refusal[1]) ? refusal[2].toInt()
                                                                                                : 0;
    });

    auto plan = platform::folder_image::read(folder, platform::file_looks::every_file, files_staged);
    QVERIFY(plan);
    QCOMPARE(plan->ignores_case(), way >= case_blind);
    const auto run = platform::listed_folder::read(folder, files_staged);
    QVERIFY(run);

    const std::string prefix = folder + "/";
    // The run trusts its listing for the names it listed; the plan takes the
    // types of its own.
    const auto listed = [&](const std::string& name) {
        return std::find(run->entries().begin(), run->entries().end(), name) != run->entries().end();
    };
    if (any_order) {
        std::map<std::string, std::string> new_name_of;
        for (const auto& rename : renames)
            new_name_of[str(rename.split('|')[0])] = str(rename.split('|')[1]);
        platform::name_list new_names;
        for (const auto name : run->entries())
            new_names.push_back(new_name_of.count(std::string(name)) ? new_name_of[std::string(name)] : name);
        const auto order = run->order_free(new_names);
        QVERIFY(order);
        std::map<std::string, char> planned, done;
        for (std::size_t i = 0; i < new_names.size(); ++i)
            planned[std::string(run->entries()[i])] =
                code_of(plan->rename_listed(run->entries()[i], new_names[i]).outcome);
        for (const auto i : *order)
            done[std::string(run->entries()[i])] =
                code_of(run->rename(folder, i, run->entries()[i], new_names[i]).outcome);
        QCOMPARE(done, planned);
        QByteArray in_list_order;
        for (const auto& rename : renames)
            in_list_order += done[str(rename.split('|')[0])];
        QCOMPARE(in_list_order, outcomes);
        std::vector<listed_entry> planned_names, names_now;
        plan->list(planned_names);
        platform::system_calls(AT_FDCWD, prefix).list(names_now);
        QCOMPARE(names_and_types(planned_names), names_and_types(names_now));
        return;
    }
    QByteArray run_outcomes;
    for (const auto& rename : renames) {
        const std::string from = str(rename.split('|')[0]), to = str(rename.split('|')[1]);
        const auto planned = listed(from) ? plan->rename_listed(from, to) : plan->rename(from, to);
        const auto done = run->rename(folder, from, to);
        const QByteArray step = bytes(from + " -> " + to) + " after " + run_outcomes + " in " + entries.join(' ') +
                                ", staged " + staged;
        QVERIFY2(planned == done, (step + ": planned " + code_of(planned.outcome) + QByteArray::number(planned.error) +
                                   ", run " + code_of(done.outcome) + QByteArray::number(done.error))
                                      .constData());
        run_outcomes += code_of(done.outcome);

        std::vector<listed_entry> planned_names, names_now;
        plan->list(planned_names);
        platform::system_calls(AT_FDCWD, prefix).list(names_now);
        QVERIFY2(names_and_types(planned_names) == names_and_types(names_now),
                 (step + ": planned " + names_and_types(planned_names) + " run " + names_and_types(names_now))
                     .constData());
    }
    if (!outcomes.isEmpty())
        QCOMPARE(run_outcomes, outcomes);
}

// Over a network every refused call is a round trip: a way the file system
// does not offer is tried for the first file only, by the run, by the undo
// (which looks at each file first) and by the plan alike. A link refused
// for one file alone (another user's, under protected hard links) leaves
// the folder on links. The calls are counted in the order of file_call.
void tst_rename_plan::way_refused_once_per_folder_data()
{
    QTest::addColumn<QByteArray>("through");
    QTest::addColumn<bool>("links");
    QTest::addColumn<QByteArray>("foreign");
    QTest::addColumn<QByteArray>("calls");
    for (const QByteArray through : {"run", "undo", "plan"}) {
        // The undo's look at each file before it moves it.
        const QByteArray looks = through == "undo" ? "4" : "0";
        QTest::newRow(through + ", without RENAME_NOREPLACE")
            << through << true << QByteArray() << "1 4 4 0 " + looks + " 0 0";
        QTest::newRow(through + ", without links either")
            << through << false << QByteArray() << "1 1 0 4 " + QByteArray::number(4 + looks.toInt()) + " 0 1";
        QTest::newRow(through + ", another user's file first")
            << through << false << QByteArray("a") << "1 2 0 4 " + QByteArray::number(4 + looks.toInt()) + " 0 2";
    }
}

void tst_rename_plan::way_refused_once_per_folder()
{
    QFETCH(QByteArray, through);
    QFETCH(bool, links);
    QFETCH(QByteArray, foreign);
    QFETCH(QByteArray, calls);

    const auto dir = make_folder(true);
    const std::string folder = path_of(*dir);
    const std::vector<std::string> names{"a", "b", "c", "d"};
    for (const auto& name : names)
        write_file(folder, name, name);
    auto plan = platform::folder_image::read(folder, platform::file_looks::every_file, files_staged);
    auto run = platform::listed_folder::read(folder, files_staged);
    const platform::open_folder undo(folder, files_staged);
    QVERIFY(plan && run);

    int counted[7] = {};
    files_staged.call_hook = ([&](fixture::file_call call, const std::string& from, const std::string&) {
        ++counted[static_cast<int>(call)];
        if (call == fixture::file_call::rename_noreplace)
            return EINVAL;
        if (call == fixture::file_call::link && !links)
            return EPERM;
        return call == fixture::file_call::may_link && from == str(foreign) ? EPERM : 0;
    });
    for (const auto& name : names) {
        const auto result = through == "plan" ? plan->rename_listed(name, name + ".new")
                            : through == "run" ? run->rename(folder, name, name + ".new")
                                               : undo.rename_no_replace(folder, name, name + ".new");
        QCOMPARE(result.outcome, platform::rename_outcome::renamed);
    }
    QByteArray seen;
    for (const int count : counted)
        seen += QByteArray::number(count) + " ";
    QCOMPARE(seen.trimmed(), calls);
}

// A new name that a file system ignoring case takes for another name of the
// folder, or for another new name, makes the run keep the list's order: in
// long names, whose letters are folded sixteen at a time, and in names
// beyond ASCII, Chinese ones (whose ASCII letters alone have case) above all.
// Where the file system is known to keep case (the kernel's on /dev/shm), a
// name in another case is another name.
void tst_rename_plan::renames_that_may_meet_keep_the_list_order_data()
{
    QTest::addColumn<QByteArrayList>("entries");
    QTest::addColumn<QByteArrayList>("new_names");
    QTest::addColumn<bool>("order_free");
    QTest::addColumn<bool>("case_kept");
    QTest::newRow("a long name in another case, case kept")
        << QByteArrayList{"Holiday_Photo_000001.JPG", "x"} << QByteArrayList{"Holiday_Photo_000001.JPG", "hOLIDAY_pHOTO_000001.jpg"}
        << true << true;
    QTest::newRow("the same new name, case kept")
        << QByteArrayList{"x", "y"} << QByteArrayList{"Holiday_Photo_000001.JPG", "Holiday_Photo_000001.JPG"} << false
        << true;
    const QByteArray holiday = "\xe5\x81\x87\xe6\x97\xa5_0001.jpg";
    QTest::newRow("long names apart") << QByteArrayList{"Holiday_Photo_000001.JPG", "Holiday_Photo_000002.JPG"}
                                      << QByteArrayList{"Holiday_Photo_000001.new", "Holiday_Photo_000002.new"}
                                      << true << false;
    QTest::newRow("a long name in another case")
        << QByteArrayList{"Holiday_Photo_000001.JPG", "x"} << QByteArrayList{"Holiday_Photo_000001.JPG", "hOLIDAY_pHOTO_000001.jpg"}
        << false << false;
    QTest::newRow("two new names alike but for case")
        << QByteArrayList{"x", "y"} << QByteArrayList{"Holiday_Photo_000001.JPG", "HOLIDAY_PHOTO_000001.JPG"} << false << false;
    QTest::newRow("Chinese names apart") << QByteArrayList{holiday, "x"} << QByteArrayList{holiday, "\xe5\x81\x87.jpg"}
                                         << true << false;
    QTest::newRow("a Chinese name in another case")
        << QByteArrayList{holiday, "x"} << QByteArrayList{holiday, "\xe5\x81\x87\xe6\x97\xa5_0001.JPG"} << false << false;
    QTest::newRow("Greek in another case") << QByteArrayList{"\xce\xa3.txt", "x"}
                                           << QByteArrayList{"\xce\xa3.txt", "\xcf\x83.TXT"} << false << false;
}

void tst_rename_plan::renames_that_may_meet_keep_the_list_order()
{
    QFETCH(QByteArrayList, entries);
    QFETCH(QByteArrayList, new_names);
    QFETCH(bool, order_free);
    QFETCH(bool, case_kept);
    // Calls staged in front of the kernel's are a file system that may
    // ignore case.
    if (!case_kept)
        files_staged.call_hook = [](fixture::file_call, const std::string&, const std::string&) { return 0; };
    const auto dir = make_folder(true);
    for (const auto& entry : entries)
        write_file(path_of(*dir), str(entry), str(entry));
    const auto listed = platform::listed_folder::read(path_of(*dir), files_staged);
    QVERIFY(listed);
    std::map<std::string, std::string> new_name_of;
    for (qsizetype i = 0; i < entries.size(); ++i)
        new_name_of[str(entries[i])] = str(new_names[i]);
    platform::name_list in_list_order;
    for (const auto name : listed->entries())
        in_list_order.push_back(new_name_of[std::string(name)]);
    QCOMPARE(listed->order_free(in_list_order).has_value(), order_free);
}

QTEST_APPLESS_MAIN(tst_rename_plan)
#include "tst_rename_plan.moc"

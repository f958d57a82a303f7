#pragma once

// Rows that need more of the machine than a user has run again in a child
// process with a mount namespace of its own (and a user namespace of its
// own when the test does not run as root), where the row can mount as it
// needs without touching the machine's mounts.
//
// The rows that list "/" need it to hold files, and a desktop's root holds
// folders and links only; their child's root is a fresh memory folder
// holding a few files, the machine's folders bound in and its links copied.
// The real root is only ever read.

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace fixture {

// The root the child sees: the machine's, or a fresh one.
enum class child_root { machine, own };

// The files of the fresh root, besides the links it copies.
inline const std::vector<std::string> own_root_files{"a.txt", "b\xff.jpg", "C"};

// Set in the child: "machine" or "own", its root.
inline constexpr char child_variable[] = "FENNIMO_TEST_CHILD";
// The child's exit status when the kernel refuses a namespace or a mount.
inline constexpr int child_refused = 77;

inline bool in_child()
{
    return qEnvironmentVariableIsSet(child_variable);
}

inline bool in_own_root()
{
    return qgetenv(child_variable) == "own";
}

namespace child_detail {

// Everything the child does between fork and exec, prepared beforehand: the
// child may only make system calls there, not allocate.
struct plan {
    std::string root;                                        // an empty folder, the root to be, or none
    std::vector<std::pair<std::string, std::string>> folders;  // "/usr" and where it is bound
    std::vector<std::pair<std::string, std::string>> links;    // target and the copy's path
    std::vector<std::string> files;                           // paths in the fresh root
    bool own_user_namespace = false;
    std::string uid_map, gid_map;
};

inline plan make_plan(const std::string& root)
{
    plan p;
    p.own_user_namespace = ::geteuid() != 0;
    // Root in the namespace, so that the program the child becomes keeps
    // the right to mount there.
    p.uid_map = "0 " + std::to_string(::geteuid()) + " 1";
    p.gid_map = "0 " + std::to_string(::getegid()) + " 1";
    p.root = root;
    if (root.empty())
        return p;
    DIR* dir = ::opendir("/");
    if (!dir)
        qFatal("cannot read the root folder");
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        struct stat st {};
        if (::lstat(("/" + name).c_str(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            p.folders.emplace_back("/" + name, root + "/" + name);
        } else if (S_ISLNK(st.st_mode)) {
            char target[4096];
            const ssize_t n = ::readlink(("/" + name).c_str(), target, sizeof target);
            if (n > 0)
                p.links.emplace_back(std::string(target, std::size_t(n)), root + "/" + name);
        }
    }
    ::closedir(dir);
    for (const auto& name : own_root_files)
        p.files.push_back(root + "/" + name);
    return p;
}

[[noreturn]] inline void refuse(const char* step)
{
    const char head[] = "the kernel refuses a namespace of the test's own here: ";
    (void)!::write(2, head, sizeof head - 1);
    (void)!::write(2, step, std::char_traits<char>::length(step));
    (void)!::write(2, "\n", 1);
    ::_exit(child_refused);
}

inline bool write_text(const char* path, const std::string& text)
{
    const int fd = ::open(path, O_WRONLY | O_CLOEXEC);
    const bool ok = fd >= 0 && ::write(fd, text.data(), text.size()) == ssize_t(text.size());
    if (fd >= 0)
        ::close(fd);
    return ok;
}

// In the child, after fork: system calls on prepared strings only.
inline void enter(const plan& p)
{
    if (p.own_user_namespace) {
        if (::unshare(CLONE_NEWUSER | CLONE_NEWNS) != 0)
            refuse("unshare");
        if (!write_text("/proc/self/setgroups", "deny") || !write_text("/proc/self/uid_map", p.uid_map)
            || !write_text("/proc/self/gid_map", p.gid_map))
            refuse("user map");
    } else if (::unshare(CLONE_NEWNS) != 0) {
        refuse("unshare");
    }
    // Nothing mounted from here on reaches the machine's own namespace.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
        refuse("private mounts");
    if (p.root.empty())
        return;
    if (::mount("fennimo-root", p.root.c_str(), "tmpfs", 0, "mode=0755") != 0)
        refuse("tmpfs");
    for (const auto& [from, to] : p.folders)
        if (::mkdir(to.c_str(), 0755) != 0 || ::mount(from.c_str(), to.c_str(), nullptr, MS_BIND | MS_REC, nullptr) != 0)
            refuse(from.c_str());
    for (const auto& [target, path] : p.links)
        if (::symlink(target.c_str(), path.c_str()) != 0)
            refuse(path.c_str());
    for (const auto& path : p.files) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0)
            refuse(path.c_str());
        ::close(fd);
    }
    if (::chroot(p.root.c_str()) != 0 || ::chdir("/") != 0)
        refuse("chroot");
}

} // namespace child_detail

// What a row that runs in a child does first. In the child it returns
// nothing and the row goes on. In the test program it runs the row again in
// the child and returns the child's output when the child failed, or an
// empty text when it passed; the row then only reports that. Where the
// kernel refuses the namespaces it returns nothing, and the row runs here,
// on what the machine allows.
inline std::optional<QString> row_in_child(child_root root)
{
    if (in_child())
        return std::nullopt;
    std::optional<QTemporaryDir> fresh_root;
    if (root == child_root::own && !fresh_root.emplace().isValid())
        qFatal("cannot make a temporary folder");
    const child_detail::plan plan =
        child_detail::make_plan(fresh_root ? QFile::encodeName(fresh_root->path()).toStdString() : std::string());

    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(child_variable),
                       root == child_root::own ? QStringLiteral("own") : QStringLiteral("machine"));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.setChildProcessModifier([plan] { child_detail::enter(plan); });
    const QString function = QString::fromLatin1(QTest::currentTestFunction());
    const QString tag = QString::fromLatin1(QTest::currentDataTag());
    const QString row = function + QLatin1Char(':') + tag;
    // This very program, also where no application object names it.
    child.start(QFile::symLinkTarget(QStringLiteral("/proc/self/exe")), {row});
    // A child that hangs fails the row within the test's own time.
    if (!child.waitForFinished(15000)) {
        child.kill();
        child.waitForFinished(5000);
        return QStringLiteral("the child for %1 did not end:\n").arg(row) + QString::fromLocal8Bit(child.readAll());
    }
    const QString output = QString::fromLocal8Bit(child.readAll());
    if (child.exitStatus() == QProcess::NormalExit && child.exitCode() == child_refused) {
        qWarning("%s", qPrintable(output.trimmed()));
        return std::nullopt;
    }
    if (child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0)
        return QStringLiteral("the child for %1 failed:\n").arg(row) + output;
    // A row the child did not find would pass without a check.
    const QString passed = QStringLiteral("::%1(%2)").arg(function, tag);
    const auto lines = output.split(QLatin1Char('\n'));
    if (std::none_of(lines.begin(), lines.end(), [&](const QString& line) {
            return line.startsWith(QLatin1String("PASS")) && line.trimmed().endsWith(passed);
        }))
        return QStringLiteral("the child did not pass %1:\n").arg(row) + output;
    return QString();
}

// The root's files as the row expects them: in the child every file the
// fresh root was made with must be there, so that a root the child failed
// to enter cannot pass; any root must hold a file.
inline bool root_holds_files(const std::vector<std::string>& listed)
{
    if (listed.empty())
        return false;
    if (!in_own_root())
        return true;
    return std::all_of(own_root_files.begin(), own_root_files.end(), [&](const std::string& name) {
        return std::find(listed.begin(), listed.end(), name) != listed.end();
    });
}

} // namespace fixture

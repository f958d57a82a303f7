#pragma once

// Real folders for the file-system and run tests: files whose content is
// their own original name, so a test can tell that every file survived a run
// with its bytes, whatever it is called now.

#include <QByteArray>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <dirent.h>
#include <fcntl.h>
#include <filesystem>
#include <linux/fs.h>
#include <map>
#include <memory>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// A temporary folder that is removed with everything in it, including names
// that are not UTF-8, which QTemporaryDir's own removal cannot see.
struct byte_named_dir {
    QTemporaryDir dir;
    byte_named_dir() = default;
    explicit byte_named_dir(const QString& name_template) : dir(name_template) {}
    std::string path() const { return QFile::encodeName(dir.path()).toStdString(); }
    ~byte_named_dir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path(), ignored);
    }
};

// A folder with all the folders above it that are missing.
inline void make_path(const std::string& path)
{
    QVERIFY(QDir().mkpath(QString::fromStdString(path)));
}

namespace fixture {

inline std::string str(const QByteArray& b) { return std::string(b.constData(), std::size_t(b.size())); }
inline QByteArray bytes(const std::string& s) { return QByteArray(s.data(), qsizetype(s.size())); }

// Sets or clears a file's flags (FS_IMMUTABLE_FL, FS_APPEND_FL); false
// where the kernel refuses, with errno saying why.
inline bool set_file_flags(const std::string& path, int flags, bool on)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    int now = 0;
    bool done = fd >= 0 && ::ioctl(fd, FS_IOC_GETFLAGS, &now) == 0;
    now = on ? (now | flags) : (now & ~flags);
    done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &now) == 0;
    if (fd >= 0)
        ::close(fd);
    return done;
}

// A fresh folder on the disk or, with in_memory, on /dev/shm.
inline std::unique_ptr<byte_named_dir> make_folder(bool in_memory = false)
{
    auto dir = in_memory ? std::make_unique<byte_named_dir>(QStringLiteral("/dev/shm/fennimo-test-XXXXXX"))
                         : std::make_unique<byte_named_dir>();
    if (!dir->dir.isValid())
        qFatal("cannot make a temporary folder");
    return dir;
}

inline std::string path_of(const byte_named_dir& dir) { return dir.path(); }

inline void write_file(const std::string& folder, const std::string& name, const std::string& content)
{
    const std::string path = folder + "/" + name;
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (fd < 0)
        qFatal("cannot create %s", path.c_str());
    if (::write(fd, content.data(), content.size()) != ssize_t(content.size()))
        qFatal("cannot write %s", path.c_str());
    ::close(fd);
}

// Creates each file with its own name as content.
inline void make_files(const std::string& folder, const std::vector<std::string>& names)
{
    for (const auto& name : names)
        write_file(folder, name, name);
}

// Calls visit(name, path, stat) for every entry of the folder but "." and
// "..", with the entry's own status (a link's, not its target's).
template <typename Visit>
void for_each_entry(const std::string& folder, Visit visit)
{
    DIR* dir = ::opendir(folder.c_str());
    if (!dir)
        return;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        const std::string path = folder + "/" + name;
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0)
            visit(name, path, st);
    }
    ::closedir(dir);
}

// The bytes of a file (of a link's target, for a link).
inline std::string file_content(const std::string& path)
{
    std::string content;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    char buffer[4096];
    for (ssize_t n; fd >= 0 && (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        content.append(buffer, std::size_t(n));
    if (fd >= 0)
        ::close(fd);
    return content;
}

// Every entry of the folder (hidden ones and subfolders too, so a stray
// temporary name or a file moved away shows), with each regular file's
// content; folders read as "<dir>", other special files (FIFOs, sockets,
// devices: opening some would block) as "<special>".
inline std::map<std::string, std::string> read_folder(const std::string& folder)
{
    std::map<std::string, std::string> out;
    for_each_entry(folder, [&](const std::string& name, const std::string& path, const struct stat& st) {
        if (S_ISDIR(st.st_mode))
            out[name] = "<dir>";
        else if (!S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode))
            out[name] = "<special>";
        else
            out[name] = file_content(path);
    });
    return out;
}

// Splits a CR LF separated list box text into its lines.
inline std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> out;
    if (text.empty())
        return out;
    std::size_t from = 0;
    for (auto at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", from)) {
        out.push_back(text.substr(from, at - from));
        from = at + 2;
    }
    out.push_back(text.substr(from));
    return out;
}

} // namespace fixture

namespace fixture {

// A folder's content as one readable text, for comparisons that print well.
inline QByteArray describe(const std::map<std::string, std::string>& folder)
{
    QByteArray out;
    for (const auto& [name, content] : folder)
        out += bytes(name) + "=" + bytes(content) + ";";
    return out;
}

inline QByteArray describe_lines(const std::vector<std::string>& lines)
{
    QByteArray out;
    for (const auto& line : lines)
        out += bytes(line) + "|";
    return out;
}

} // namespace fixture

// The program's state folder, where the journal of the last run lives, in a
// fresh temporary folder for as long as this exists: no test writes into
// the real home.
struct temporary_state_folder {
    QTemporaryDir dir;
    QByteArray previous = qgetenv("XDG_STATE_HOME");
    temporary_state_folder()
    {
        if (!dir.isValid())
            qFatal("cannot make a temporary state folder");
        qputenv("XDG_STATE_HOME", QFile::encodeName(dir.path()));
    }
    ~temporary_state_folder()
    {
        if (previous.isNull())
            qunsetenv("XDG_STATE_HOME");
        else
            qputenv("XDG_STATE_HOME", previous);
    }
    temporary_state_folder(const temporary_state_folder&) = delete;
    temporary_state_folder& operator=(const temporary_state_folder&) = delete;
};

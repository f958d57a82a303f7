#pragma once

// Folders and files made for a test, with names given as exact bytes.

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>

// A temporary folder that is removed with everything in it, including names
// that are not UTF-8, which QTemporaryDir's own removal cannot see.
struct byte_named_dir {
    QTemporaryDir dir;
    std::string path() const { return dir.path().toStdString(); }
    ~byte_named_dir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path(), ignored);
    }
};

inline void make_file(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    QVERIFY2(fd >= 0, path.c_str());
    ::close(fd);
}

inline void make_folder(const std::string& path)
{
    QVERIFY(QDir().mkpath(QString::fromStdString(path)));
}

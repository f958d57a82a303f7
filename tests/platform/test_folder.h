#pragma once

// Temporary folders for tests whose file names may be any bytes.

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <filesystem>
#include <string>

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

// A folder with all the folders above it that are missing.
inline void make_path(const std::string& path)
{
    QVERIFY(QDir().mkpath(QString::fromStdString(path)));
}

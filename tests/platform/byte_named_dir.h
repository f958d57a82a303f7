#pragma once

// A temporary folder that is removed with everything in it, including names
// that are not UTF-8, which QTemporaryDir's own removal cannot see.

#include <QTemporaryDir>
#include <filesystem>
#include <string>

struct byte_named_dir {
    QTemporaryDir dir;
    std::string path() const { return dir.path().toStdString(); }
    ~byte_named_dir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path(), ignored);
    }
};

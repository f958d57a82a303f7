#pragma once

// What the rename-run benchmarks share: a folder of numbered files
// "file_a_000001.txt"..., the floor (a plain loop that lists a fresh copy of
// the folder and makes the same renames by renameat2), the checked floor
// (the same loop looking at each entry with fstatat right before renaming
// it: what a look per file would cost), the check that the run renamed every file, and the table
// they print.

#include "core/rules.h"

#include "platform/files/folder_reading.h"
#include "record.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <functional>
#include <optional>
#include <linux/fs.h>
#include <string>
#include <utility>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <ctime>
#include <unistd.h>
#include <vector>

namespace bench {

using clock_type = std::chrono::steady_clock;

inline double seconds_since(clock_type::time_point start)
{
    return std::chrono::duration<double>(clock_type::now() - start).count();
}

inline std::vector<std::string> make_folder(const std::string& folder, int count)
{
    std::vector<std::string> names;
    names.reserve(std::size_t(count));
    char name[64];
    for (int i = 1; i <= count; ++i) {
        std::snprintf(name, sizeof name, "file_a_%06d.txt", i);
        const std::string path = folder + "/" + name;
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd < 0) {
            std::perror(path.c_str());
            std::exit(1);
        }
        ::close(fd);
        names.emplace_back(name);
    }
    return names;
}

// A fresh folder of `count` numbered files under `base`, removed with them
// when it goes.
struct numbered_folder {
    numbered_folder(const QString& base, int count) : dir(base + QStringLiteral("/fennimo-bench-XXXXXX"))
    {
        if (!dir.isValid()) {
            std::fprintf(stderr, "cannot make folders under %s\n", qPrintable(base));
            std::exit(1);
        }
        path = QFile::encodeName(dir.path()).toStdString();
        make_folder(path, count);
    }
    QTemporaryDir dir;
    std::string path;
};

struct figures {
    double run;
    double floor;
    // The processor time (user and system) the floor took: on a busy
    // machine a steadier figure than the time on the clock.
    double floor_cpu = 0;
    double checked_floor = 0;
};

// The processor time, user and system, of the calling thread or (children)
// of every child process that has ended and been waited for.
inline double cpu_seconds(bool children = false)
{
    // The thread's own clock counts to the nanosecond; the usage figures
    // only in the kernel's ticks, 4 ms here, which is a whole journal.
    if (!children) {
        timespec t{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
    }
    rusage usage{};
    ::getrusage(RUSAGE_CHILDREN, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) * 1e-6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// A plain loop over `folder`, a fresh folder of numbered files: it lists
// the folder, as every renamer must, then renames each name, looking at the
// entry first when `look_first`. The new name replaces "a" by "b" unless
// `new_name_of` makes it. Answers the seconds on the clock and of processor
// time.
inline std::pair<double, double> time_floor(const std::string& folder, bool look_first,
                                            std::string (*new_name_of)(const std::string&) = nullptr)
{
    const int dir_fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const double cpu_start = cpu_seconds();
    const auto start = clock_type::now();
    std::vector<std::string> names, new_names;
    DIR* listing = ::fdopendir(::dup(dir_fd));
    while (const dirent* entry = ::readdir(listing))
        if (entry->d_name[0] != '.')
            names.emplace_back(entry->d_name);
    ::closedir(listing);
    new_names.reserve(names.size());
    for (const auto& name : names)
        new_names.push_back(new_name_of ? new_name_of(name) : renamer::replace_all(name, "a", "b"));
    for (std::size_t i = 0; i < names.size(); ++i) {
        struct stat st {};
        if (look_first && (::fstatat(dir_fd, names[i].c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0 || S_ISDIR(st.st_mode)))
            continue;
        ::syscall(SYS_renameat2, dir_fd, names[i].c_str(), dir_fd, new_names[i].c_str(), RENAME_NOREPLACE);
    }
    const double seconds = seconds_since(start);
    const double cpu = cpu_seconds() - cpu_start;
    ::close(dir_fd);
    return {seconds, cpu};
}

// Runs `timed_run` on a fresh folder of `count` files under `base`; it
// replaces "a" by "b" in every name and answers the seconds it counts as the
// run. Then times both floors, each on a fresh folder of its own. The run's
// folder and the floor's are made together before either is timed: made
// each after the one before had been timed, the floor itself timed as the
// run came out at 1.02 and 1.05 of the floor on a disk, and at 1.00 made
// together. The checked floor's folder is made once the run's is gone, so
// that no more than two folders are there at once (three of a million files
// are more than a memory file system of this size holds).
inline figures measure(const QString& base, int count, const std::function<double(const std::string&)>& timed_run)
{
    std::optional<numbered_folder> run_dir(std::in_place, base, count);
    const numbered_folder floor_dir(base, count);
    // Each is timed with nothing left to write of the one before.
    ::sync();
    const double run = timed_run(run_dir->path);
    ::sync();
    const auto floor = time_floor(floor_dir.path, false);

    const auto renamed = platform::list_files(run_dir->path);
    if (!renamed || renamed->size() != std::size_t(count) || renamed->front() != "file_b_000001.txt") {
        std::fprintf(stderr, "the run did not rename every file\n");
        std::exit(1);
    }
    run_dir.reset();

    const numbered_folder checked_dir(base, count);
    ::sync();
    const auto checked = time_floor(checked_dir.path, true);
    return {run, floor.first, floor.second, checked.first};
}

// Waits for a child program to end. A program that has not ended in ten
// minutes is stuck, not slow: the bench says which and stops, rather than
// waiting for ever.
inline void wait_or_exit(QProcess& process, const char* what)
{
    constexpr int limit_ms = 10 * 60 * 1000;
    if (!process.waitForFinished(limit_ms)) {
        std::fprintf(stderr, "%s did not end within %d minutes\n", what, limit_ms / 60000);
        process.kill();
        process.waitForFinished(5000);
        std::exit(1);
    }
}

inline double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// The machine is shared, so one figure says little: each size is measured
// `rounds` times, every round with its own floor, and the medians are
// printed. `ratio` is the median of the rounds' ratios, each taken against
// the floor of its own round.
struct summary {
    double run;
    double floor;
    double ratio;
    double checked_floor;
    double checked_ratio;
};

inline summary measure_rounds(const QString& base, int count,
                              const std::function<double(const std::string&)>& timed_run, int rounds = 5)
{
    std::vector<double> runs, floors, ratios, checked_floors, checked_ratios;
    for (int i = 0; i < rounds; ++i) {
        const figures f = measure(base, count, timed_run);
        runs.push_back(f.run);
        floors.push_back(f.floor);
        ratios.push_back(f.run / f.floor);
        checked_floors.push_back(f.checked_floor);
        checked_ratios.push_back(f.run / f.checked_floor);
    }
    return {median(runs), median(floors), median(ratios), median(checked_floors), median(checked_ratios)};
}

// The folders given after the file count, or /dev/shm and the temporary folder.
inline QStringList bases(int argc, char** argv)
{
    QStringList out;
    for (int i = 2; i < argc; ++i)
        out << QString::fromLocal8Bit(argv[i]);
    if (out.isEmpty())
        out << QStringLiteral("/dev/shm") << QDir::tempPath();
    return out;
}

inline void print_header(const char* title)
{
    std::printf("%s (medians of 5 rounds; \"checked\": the floor that looks at each entry first)\n", title);
    std::printf("%-12s %8s %9s %9s %7s %9s %7s %11s", "folder", "files", "run s", "floor s", "ratio", "checked s",
                "ratio", "run us/file");
}

inline void print_row(const QString& base, int files, const summary& f)
{
    std::printf("%-12s %8d %9.3f %9.3f %7.2f %9.3f %7.2f %11.2f", qPrintable(base), files, f.run, f.floor, f.ratio,
                f.checked_floor, f.checked_ratio, f.run / files * 1e6);
}

} // namespace bench

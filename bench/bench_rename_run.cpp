// The rename run over 100,000 files, timed against the floor of a plain
// renameat2 loop doing the same renames on a fresh copy of the same folder,
// on /dev/shm and on the disk. Prints times and their ratio, and the time
// per file at a tenth of the size; not a test.
//
//   build/bench/bench_rename_run [files] [folder ...]

#include "renamer/headless_window.h"
#include "renamer/rules.h"
#include "renamer/runs.h"

#include "platform/filesystem.h"

#include <QApplication>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

using clock_type = std::chrono::steady_clock;

double seconds_since(clock_type::time_point start)
{
    return std::chrono::duration<double>(clock_type::now() - start).count();
}

std::vector<std::string> make_folder(const std::string& folder, int count)
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

struct figures {
    double run;
    double floor;
};

figures measure(const QString& base, int count)
{
    QTemporaryDir run_dir(base + QStringLiteral("/fennimo-bench-XXXXXX"));
    QTemporaryDir floor_dir(base + QStringLiteral("/fennimo-bench-XXXXXX"));
    if (!run_dir.isValid() || !floor_dir.isValid()) {
        std::fprintf(stderr, "cannot make folders under %s\n", qPrintable(base));
        std::exit(1);
    }
    const std::string run_folder = QFile::encodeName(run_dir.path()).toStdString();
    const std::string floor_folder = QFile::encodeName(floor_dir.path()).toStdString();

    make_folder(run_folder, count);
    renamer::headless_window window(run_folder);
    window.set_text(renamer::text_id::Text3, "a");
    window.set_text(renamer::text_id::Text4, "b");
    ::sync();
    const auto run_start = clock_type::now();
    renamer::rename_run(window);
    const double run = seconds_since(run_start);

    // The floor: the same renames and nothing else, names computed beforehand.
    const auto names = make_folder(floor_folder, count);
    std::vector<std::string> new_names;
    new_names.reserve(names.size());
    for (const auto& name : names)
        new_names.push_back(renamer::replace_all(name, "a", "b"));
    const int dir_fd = ::open(floor_folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::sync();
    const auto floor_start = clock_type::now();
    for (std::size_t i = 0; i < names.size(); ++i)
        ::syscall(SYS_renameat2, dir_fd, names[i].c_str(), dir_fd, new_names[i].c_str(), RENAME_NOREPLACE);
    const double floor = seconds_since(floor_start);
    ::close(dir_fd);

    const auto renamed = platform::list_files(run_folder);
    if (!renamed || renamed->size() != std::size_t(count) || renamed->front() != "file_b_000001.txt") {
        std::fprintf(stderr, "the run did not rename every file\n");
        std::exit(1);
    }
    return {run, floor};
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The run yields to a real event loop, as it does in the window.
    QApplication app(argc, argv);

    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    QStringList bases;
    for (int i = 2; i < argc; ++i)
        bases << QString::fromLocal8Bit(argv[i]);
    if (bases.isEmpty())
        bases << QStringLiteral("/dev/shm") << QDir::tempPath();

    // A tenth of the files as well: the time per file must not grow with
    // the folder, or something in the run is quadratic.
    std::printf("rename run, replace \"a\" by \"b\"\n");
    std::printf("%-12s %8s %9s %9s %7s %11s\n", "folder", "files", "run s", "floor s", "ratio", "run us/file");
    for (const auto& base : bases) {
        for (const int n : {count / 10, count}) {
            const auto f = measure(base, n);
            std::printf("%-12s %8d %9.3f %9.3f %7.2f %11.2f\n", qPrintable(base), n, f.run, f.floor,
                        f.run / f.floor, f.run / n * 1e6);
            std::fflush(stdout);
        }
    }
    return 0;
}

// Times the listing and the query run over a folder of 100,000 files in the
// real widgets on the offscreen platform, medians of 5. Not a test: it prints its figures,
// each also as a ratio against a floor measured in the same process (the
// same two lists built as plain strings, with no window in between).

#include "form/browsing.h"
#include "core/rules.h"
#include "form/window_runs.h"
#include "record.h"
#include "widget_window.h"

#include "platform/files/folder_reading.h"
#include "platform/files/list_order.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <cstdio>
#include <algorithm>
#include <vector>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int file_count = 100000;

double elapsed_ms(const QElapsedTimer& clock) { return double(clock.nsecsElapsed()) / 1e6; }

// The median of `rounds` timings: the machine is shared, and a median is
// steadier than any one round.
template <typename F>
double median_of(int rounds, F&& work)
{
    std::vector<double> times;
    for (int i = 0; i < rounds; ++i) {
        QElapsedTimer clock;
        clock.start();
        work();
        times.push_back(elapsed_ms(clock));
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    // Memory-backed when there is one, so the figures are the program's own.
    QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm/fennimo-bench-XXXXXX")
                                                : QDir::tempPath() + QStringLiteral("/fennimo-bench-XXXXXX"));
    if (!dir.isValid()) {
        std::fprintf(stderr, "bench_browsing: no temporary folder\n");
        return 1;
    }
    const std::string folder = dir.path().toStdString();
    for (int i = 0; i < file_count; ++i) {
        char name[64];
        std::snprintf(name, sizeof name, "%s/IMG_%06d.jpg", folder.c_str(), i);
        const int fd = ::open(name, O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        if (fd >= 0)
            ::close(fd);
    }

    renamer::widget_window window(folder);
    window.show();
    QApplication::processEvents();

    const auto names = *platform::list_files(folder);
    const double floor = median_of(5, [&] {
        std::string paths, shown;
        for (const auto& name : names)
            renamer::append_list_line(paths, renamer::listing_line(folder, name));
        for (const auto& name : names)
            renamer::append_list_line(shown, name);
        paths = renamer::collapse_double_backslash(paths);
    });

    // What reading the folder costs at least: the names and their sort.
    const double readdir_floor = median_of(5, [&] {
        std::vector<std::string> plain;
        if (DIR* d = ::opendir(folder.c_str())) {
            while (const dirent* e = ::readdir(d))
                if (e->d_name[0] != '.')
                    plain.emplace_back(e->d_name);
            ::closedir(d);
        }
        std::sort(plain.begin(), plain.end(),
                  [](const std::string& a, const std::string& b) { return platform::list_order_less(a, b); });
    });
    const double listing = median_of(5, [&] { platform::list_files(folder); });
    const double read = median_of(5, [&] { window.File1().set_path(folder); });
    const double fill = median_of(5, [&] { renamer::fill_file_lists(window); });
    const double show = median_of(5, [&] {
        window.set_text(renamer::text_id::Text1, {});
        window.set_text(renamer::text_id::Text2, {});
        window.flush_texts();
        renamer::fill_file_lists(window);
        window.flush_texts();
    }) - fill;
    // Text3 empty: every file matches, the most the run can list.
    const double query = median_of(5, [&] { renamer::query_run(window); });
    window.set_text(renamer::text_id::Text3, "000");
    const double query_some = median_of(5, [&] { renamer::query_run(window); });
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 100000; ++i)
        QCoreApplication::processEvents();
    const double loop_us = elapsed_ms(clock) * 1000 / 100000;

    std::printf("files                          %d\n", file_count);
    std::printf("floor (plain list strings)     %8.2f ms\n", floor);
    std::printf("readdir and sort               %8.2f ms\n", readdir_floor);
    std::printf("folder listing                 %8.2f ms  x%.1f of readdir and sort\n", listing, listing / readdir_floor);
    std::printf("File1 path (read + model)      %8.2f ms\n", read);
    std::printf("fill_file_lists                %8.2f ms  x%.1f  (target <= 20 ms)\n", fill, fill / floor);
    std::printf("query run, all listed          %8.2f ms  x%.1f  (target <= 20 ms)\n", query, query / floor);
    std::printf("query run, 100 listed          %8.2f ms  x%.1f\n", query_some, query_some / floor);
    std::printf("showing both lists once        %8.2f ms\n", show);
    std::printf("one idle message-loop run      %8.3f us\n", loop_us);
    bench::record("fill_file_lists ms", {}, file_count, fill);
    bench::record("query run ms", {}, file_count, query);
    const bool ok = fill <= 20 && query <= 20;
    std::printf("%s\n", ok ? "within target" : "OVER TARGET");
    return 0;
}

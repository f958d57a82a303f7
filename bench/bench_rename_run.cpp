// The rename run over 100,000 files in the headless window, timed against
// the floor of a plain renameat2 loop doing the same renames on a fresh copy
// of the same folder, on /dev/shm and on the disk. Prints times and their
// ratio, and the time per file at a tenth of the size; not a test.
//
//   build/bench/bench_rename_run [files] [folder ...]

#include "rename_bench.h"

#include "folder_fixture.h"

#include "headless_window.h"
#include "form/window_runs.h"

#include <QApplication>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window's run, its steps one after the other with no loop between.
    QApplication app(argc, argv);

    // The runs journal their renames, as they do for the user, but not into
    // the real home.
    const temporary_state_folder state;
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const auto run = [](const std::string& folder) {
        renamer::headless_window window(folder);
        window.set_text(renamer::text_id::Text3, "a");
        window.set_text(renamer::text_id::Text4, "b");
        const auto start = bench::clock_type::now();
        renamer::rename_run(window);
        return bench::seconds_since(start);
    };

    // A tenth of the files as well: the time per file must not grow with
    // the folder, or something in the run is quadratic.
    bench::print_header("rename run, replace \"a\" by \"b\"");
    std::printf("\n");
    for (const auto& base : bench::bases(argc, argv))
        for (const int n : {count / 10, count}) {
            bench::print_row(base, n, bench::measure_rounds(base, n, run));
            std::printf("\n");
            std::fflush(stdout);
        }
    return 0;
}

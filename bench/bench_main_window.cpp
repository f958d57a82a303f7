// The rename run over 100,000 files in the real main window on the
// offscreen platform, started by Command1's Click, timed against the floor
// of a plain renameat2 loop on a fresh copy of the folder: from the click
// until the window is idle again, and until both result lists are on the
// screen, which is when the user sees the run end (the lists wait for the
// end of their display period). Not a test.
//
//   build/bench/bench_main_window [files] [folder ...]

#include "rename_bench.h"

#include "folder_fixture.h"

#include "platform/fonts.h"
#include "renamer/form3.h"

#include <QApplication>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::install_font_substitutes();

    // The runs journal their renames, as they do for the user, but not into
    // the real home.
    const temporary_state_folder state;
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    double shown_after = 0;
    const auto run = [&shown_after](const std::string& folder) {
        renamer::Form3 window(folder);
        window.show();
        QApplication::processEvents();
        window.set_text(renamer::text_id::Text3, "a");
        window.set_text(renamer::text_id::Text4, "b");
        const auto start = bench::clock_type::now();
        window.Command1().click();
        const double ran = bench::seconds_since(start);
        // The lists reach the screen at the end of the display period.
        while (window.text_box(renamer::text_id::Text1).flush_pending() ||
               window.text_box(renamer::text_id::Text2).flush_pending())
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        shown_after = bench::seconds_since(start) - ran;
        return ran;
    };

    bench::print_header("rename run in Form3 through Command1, replace \"a\" by \"b\"");
    for (const auto& base : bench::bases(argc, argv))
        for (const int n : {count / 10, count}) {
            const auto f = bench::measure(base, n, run);
            bench::print_row(base, n, f);
            std::printf("%-12s %8s   lists on the screen %.3f s later; until then %.3f s, ratio %.2f\n", "", "",
                        shown_after, f.run + shown_after, (f.run + shown_after) / f.floor);
        }
    return 0;
}

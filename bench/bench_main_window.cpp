// The rename run over 100,000 files in the real main window, started by
// Command1's Click, timed against the floor of a plain renameat2 loop on a
// fresh copy of the folder: from the click until the window is idle again,
// and until both result lists are painted on the screen, which is when the
// user sees the run end. Also prints the longest stretch between two turns
// of the event loop from the click to the painted lists (how long the
// window could not answer), and the peak memory of the process during the
// run. Not a test.
//
//   build/bench/bench_main_window [files] [folder ...]
//
// On the offscreen platform unless QT_QPA_PLATFORM says otherwise (under
// xvfb-run, "xcb" shows the window on the virtual screen).

#include "loop_turns.h"
#include "rename_bench.h"

#include "folder_fixture.h"

#include "platform/toolkit/fonts.h"
#include "app/main_window.h"
#include "widgets/line_view.h"

#include <QApplication>
#include <fstream>

namespace {

// Counts paint events of a widget.
class paints : public QObject {
public:
    explicit paints(QWidget* widget) { widget->installEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint)
            ++count;
        return false;
    }
};

// The peak resident memory since the last reset, in megabytes.
void reset_peak_memory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

double peak_memory_mb()
{
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmHWM:") {
            double kb = 0;
            status >> kb;
            return kb / 1024;
        }
        std::getline(status, key);
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::install_font_substitutes();
    bench::loop_turns turns;

    // The runs journal their renames, as they do for the user, but not into
    // the real home.
    const temporary_state_folder state;
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    std::vector<double> idle, gaps, peaks;
    const auto run = [&](const std::string& folder) {
        renamer::Form3 window(folder);
        window.show();
        // The window as the user finds it: painted, its file list filled.
        for (int i = 0; i < 3; ++i)
            QApplication::processEvents();
        window.set_text(renamer::text_id::Text3, "a");
        window.set_text(renamer::text_id::Text4, "b");
        paints names(window.text_box(renamer::text_id::Text2).list_view()->viewport());
        paints paths(window.text_box(renamer::text_id::Text1).list_view()->viewport());

        reset_peak_memory();
        const auto start = bench::clock_type::now();
        turns.start();
        window.Command1().click();
        // The run goes on from the loop, a slice at a time.
        while (window.running())
            QApplication::processEvents();
        idle.push_back(bench::seconds_since(start));
        names.count = paths.count = 0;
        while (names.count == 0 || paths.count == 0)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents);
        const double shown = bench::seconds_since(start);
        turns.turn();
        gaps.push_back(turns.longest());
        peaks.push_back(peak_memory_mb());
        return shown;
    };

    bench::print_header("rename run in Form3, from the click on Command1 to both lists painted, "
                        "replace \"a\" by \"b\"");
    std::printf(" %8s %8s %8s\n", "idle s", "gap ms", "peak MB");
    for (const auto& base : bench::bases(argc, argv))
        for (const int n : {count / 10, count}) {
            // The floor itself timed as the run is, in a round of its own:
            // how far from 1.00 the bench puts a run that does no more.
            const auto floor = bench::measure_rounds(
                base, n, [](const std::string& folder) { return bench::time_floor(folder, false).first; });
            std::printf("floor as a run:\n");
            bench::print_row(base, n, floor);
            std::printf("\n");
            idle.clear();
            gaps.clear();
            peaks.clear();
            const auto f = bench::measure_rounds(base, n, run);
            bench::print_row(base, n, f);
            std::printf(" %8.3f %8.1f %8.0f\n", bench::median(idle), bench::median(gaps) * 1000,
                        bench::median(peaks));
            std::fflush(stdout);
        }
    return 0;
}

// The preview window over 100,000 files, with a rule that renames every
// one (replace "a" by "b"), in the real main window: from F5 to the rows on
// the screen showing the plan (the first screen, then every row planned and
// painted), from an edit of Text4 to the rows up to date and painted, and the
// longest stretch between two turns of the event loop in all of that. Beside
// them, the plan's pass alone on the calling thread, which is the floor the
// window's figures stand on. Not a test.
//
//   build/bench/bench_preview [files] [folder ...]     (100000 on /dev/shm)
//
// On the offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include "loop_turns.h"
#include "rename_bench.h"

#include "folder_fixture.h"

#include "app/main_window.h"
#include "app/preview_window.h"
#include "platform/toolkit/fonts.h"

#include <QApplication>
#include <QTest>

namespace {

double ms_since(bench::clock_type::time_point start)
{
    return bench::seconds_since(start) * 1000;
}

// Runs the loop until `ready` holds, then paints the window at once, so that
// what made it hold is on the screen. Waiting for the window's own paint
// instead would wait for ever when the rows that changed are not on the
// screen.
template <typename Ready>
void until_shown(QWidget& window, Ready ready)
{
    while (!ready())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    window.repaint();
}

struct round_figures {
    double pass_ms, pass_cpu_ms, first_screen_ms, full_ms, edit_first_ms, edit_ms, gap_ms, gap_cpu_ms;
};

round_figures measure(const QString& base, int count, bench::loop_turns& turns)
{
    const bench::numbered_folder dir(base, count);
    renamer::Form3 window(dir.path);
    window.show();
    // The window as the user finds it: painted, its file list filled.
    for (int i = 0; i < 3; ++i)
        QApplication::processEvents();
    window.list_count();
    window.set_text(renamer::text_id::Text3, "a");
    window.set_text(renamer::text_id::Text4, "b");

    round_figures f{};
    {
        renamer::preview_pass pass(dir.path, window.File1().model_of_names().names(), window.read_rule_inputs());
        const auto start = bench::clock_type::now();
        const double cpu = bench::cpu_seconds();
        pass.run();
        f.pass_ms = ms_since(start);
        f.pass_cpu_ms = (bench::cpu_seconds() - cpu) * 1000;
    }

    auto start = bench::clock_type::now();
    turns.start();
    QTest::keyClick(&window, Qt::Key_F5);
    renamer::preview_window& preview = *window.preview();
    const int on_screen = std::max(0, preview.rows_view().rowAt(preview.rows_view().viewport()->height() - 1));
    until_shown(preview, [&] { return preview.up_to_date(on_screen + 1); });
    f.first_screen_ms = ms_since(start);
    until_shown(preview, [&] { return preview.up_to_date(); });
    f.full_ms = ms_since(start);
    const double gap = turns.longest() * 1000, gap_cpu = turns.longest_cpu() * 1000;

    // Half a second with the loop running, as a user reads before typing
    // on; the planner frees the first pass meanwhile.
    const auto reading = bench::clock_type::now();
    while (bench::seconds_since(reading) < 0.5)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    start = bench::clock_type::now();
    turns.start();
    window.set_text(renamer::text_id::Text4, "c");
    until_shown(preview, [&] { return preview.up_to_date(on_screen + 1); });
    f.edit_first_ms = ms_since(start);
    until_shown(preview, [&] { return preview.up_to_date(); });
    f.edit_ms = ms_since(start);
    f.gap_ms = std::max(gap, turns.longest() * 1000);
    f.gap_cpu_ms = std::max(gap_cpu, turns.longest_cpu() * 1000);
    if (preview.model().shown_row(0)->new_name != std::string("file_c_000001.txt")) {
        std::fprintf(stderr, "the preview does not show the edited rule\n");
        std::exit(1);
    }
    return f;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::install_font_substitutes();
    const temporary_state_folder state;
    bench::loop_turns turns;

    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    QStringList bases = bench::bases(argc, argv);
    if (argc <= 2)
        bases = QStringList{QStringLiteral("/dev/shm")};

    std::printf("preview of replace \"a\" by \"b\" in the main window (medians of 5 rounds)\n");
    std::printf("all in ms; \"first\": the rows on the screen; \"cpu\": processor time of the thread\n");
    std::printf("%-10s %7s %6s %8s %9s %8s %10s %7s %6s %7s\n", "folder", "files", "pass", "pass cpu", "F5 first",
                "F5 full", "edit first", "edit", "gap", "gap cpu");
    for (const auto& base : bases) {
        std::vector<round_figures> rounds;
        for (int round = 0; round < 5; ++round)
            rounds.push_back(measure(base, count, turns));
        const auto median = [&](double round_figures::*figure) {
            std::vector<double> values;
            for (const auto& f : rounds)
                values.push_back(f.*figure);
            return bench::median(values);
        };
        std::printf("%-10s %7d %6.1f %8.1f %9.1f %8.1f %10.1f %7.1f %6.1f %7.1f\n", qPrintable(base), count,
                    median(&round_figures::pass_ms), median(&round_figures::pass_cpu_ms),
                    median(&round_figures::first_screen_ms), median(&round_figures::full_ms),
                    median(&round_figures::edit_first_ms), median(&round_figures::edit_ms),
                    median(&round_figures::gap_ms), median(&round_figures::gap_cpu_ms));
        std::fflush(stdout);
    }
    return 0;
}

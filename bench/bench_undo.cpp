// The undo of a rename run over 100,000 files in the real main window on the
// offscreen platform (Ctrl+Z, answered Yes), timed against the run it takes
// back (Command1's Click, replace "a" by "b") on the same folder: the undo
// reads the journal the run wrote and renames every file back. Each is timed
// until the window is idle again. Not a test.
//
//   build/bench/bench_undo [files] [folder ...]

#include "rename_bench.h"

#include "folder_fixture.h"
#include "platform/fonts.h"
#include "platform/test_hooks.h"
#include "app/main_window.h"

#include <QApplication>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::install_font_substitutes();
    platform::set_question_box_hook([](const QString&, const QString&) { return true; });
    platform::set_message_box_hook([](const QString& text, const QString&) {
        std::fprintf(stderr, "unexpected report: %s\n", qPrintable(text));
        std::exit(1);
    });

    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    std::printf("undo of a rename run in Form3 (Ctrl+Z) against the run itself, replace \"a\" by \"b\"\n");
    std::printf("%-12s %8s %9s %9s %7s\n", "folder", "files", "run s", "undo s", "ratio");
    for (const auto& base : bench::bases(argc, argv))
        for (const int n : {count / 10, count}) {
            temporary_state_folder state;
            QTemporaryDir dir(base + QStringLiteral("/fennimo-bench-XXXXXX"));
            if (!dir.isValid()) {
                std::fprintf(stderr, "cannot make a folder under %s\n", qPrintable(base));
                return 1;
            }
            const std::string folder = QFile::encodeName(dir.path()).toStdString();
            const auto names = bench::make_folder(folder, n);
            ::sync();

            renamer::Form3 window(folder);
            window.show();
            QApplication::processEvents();
            window.set_text(renamer::text_id::Text3, "a");
            window.set_text(renamer::text_id::Text4, "b");
            auto start = bench::clock_type::now();
            window.Command1().click();
            const double run = bench::seconds_since(start);

            start = bench::clock_type::now();
            window.undo_last_run();
            const double undo = bench::seconds_since(start);

            if (platform::list_files(folder) != names) {
                std::fprintf(stderr, "the undo did not put every name back\n");
                return 1;
            }
            std::printf("%-12s %8d %9.3f %9.3f %7.2f\n", qPrintable(base), n, run, undo, undo / run);
            std::fflush(stdout);
        }
    return 0;
}

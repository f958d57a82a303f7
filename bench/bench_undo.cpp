// The undo of a rename run over 100,000 files in the real main window on the
// offscreen platform (Ctrl+Z, answered Yes), timed against the run it takes
// back (Command1's Click, replace "a" by "b") on the same folder: the undo
// reads the journal the run wrote and renames every file back. Each is timed
// until the window is idle again. Then what the journal costs a run of the
// command line's kind (the headless window), with and without it, and what
// writing its lines alone costs; and the command line ended by SIGKILL,
// SIGTERM, SIGINT or SIGHUP at a random point of a run, 30 times, then its
// undo: every file must come back.
// Not a test.
//
//   build/bench/bench_undo [files] [folder ...]

#include "rename_bench.h"

#include "folder_fixture.h"
#include "running_child.h"
#include "headless_window.h"
#include "scripted_boxes.h"
#include "shown_form.h"
#include "core/journal.h"
#include "form/window_runs.h"
#include "platform/files/folder_reading.h"
#include "platform/files/listed_folder.h"
#include "platform/toolkit/fonts.h"
#include "app/main_window.h"

#include <QApplication>
#include <QProcess>
#include <QRandomGenerator>

#include <csignal>
#include <sys/mman.h>
#include <sys/stat.h>

namespace {

// The boxes the windows report and ask in: the undo's question is answered
// Yes.
fixture::scripted_boxes boxes;

// Every report but the one a run without a journal makes ends the bench.
void refuse_reports()
{
    boxes.on_message = ([](const QString& text, const QString&) {
        std::fprintf(stderr, "unexpected report: %s\n", qPrintable(text));
        std::exit(1);
    });
}

// One run of the headless window over a fresh folder, journalled or not.
double headless_run(const QString& base, int count, bool journalled)
{
    const bench::numbered_folder dir(base, count);
    ::sync();
    renamer::headless_window window(dir.path, boxes);
    window.set_text(renamer::text_id::Text3, "a");
    window.set_text(renamer::text_id::Text4, "b");
    // Without a journal, the same run with no state folder to keep one in:
    // its journal fails as it opens, and every line after is one test. The
    // report that the run cannot be undone is not shown.
    const QByteArray state = qgetenv("XDG_STATE_HOME");
    if (!journalled) {
        qputenv("XDG_STATE_HOME", "/dev/null/no-state");
        boxes.on_message = [](const QString&, const QString&) {};
    }
    // Processor time, user and system: the machine is shared, and the time
    // on the clock moves with the others' work far more than by a journal.
    const double start = bench::cpu_seconds();
    const auto outcomes = renamer::rename_files(window.parts());
    const double seconds = bench::cpu_seconds() - start;
    refuse_reports();
    qputenv("XDG_STATE_HOME", state);
    if (outcomes.renamed != std::size_t(count) || outcomes.not_journalled == journalled) {
        std::fprintf(stderr, "the run %s\n", outcomes.renamed != std::size_t(count) ? "did not rename every file"
                              : journalled ? "kept no journal" : "kept a journal");
        std::exit(1);
    }
    return seconds;
}

// The journal's share of a run, in processor time: the run with it against
// the run without, and the lines alone against the run without. On a shared
// machine the first moves by a tenth either way from one sitting to the
// next; the second is the steadier figure.
void print_journal_share(const QString& base, int count)
{
    std::vector<double> with, without, lines;
    for (int round = 0; round < 5; ++round) {
        // Each goes first in turn, since the first of two runs after the
        // folders were made is slower.
        for (const bool journalled : {round % 2 == 0, round % 2 != 0})
            (journalled ? with : without).push_back(headless_run(base, count, journalled));
        // The names are made first: making them costs more than the lines.
        std::vector<std::string> old_names, new_names;
        char name[32];
        for (int i = 1; i <= count; ++i) {
            std::snprintf(name, sizeof name, "file_a_%06d.txt", i);
            old_names.emplace_back(name);
            new_names.push_back(renamer::replace_all(name, "a", "b"));
        }
        const double start = bench::cpu_seconds();
        {
            renamer::journal_writer writer;
            const platform::open_folder root("/");
            writer.rename_in("/", root.descriptor());
            for (std::size_t i = 0; i < old_names.size(); ++i)
                writer.moving(i + 1, old_names[i], new_names[i]);
            writer.finish();
        }
        lines.push_back(bench::cpu_seconds() - start);
    }
    const double run = bench::median(with), bare = bench::median(without), written = bench::median(lines);
    std::printf("%-12s %8d %9.3f %9.3f %+8.1f %% %9.4f %8.2f %%\n", qPrintable(base), count, run, bare,
                100 * (run - bare) / bare, written, 100 * written / bare);
    bench::record("journal lines %", base, count, 100 * written / bare);
    bench::record("journal run %", base, count, 100 * (run - bare) / bare);
    std::fflush(stdout);
}

int count_starting(const std::string& folder, const char* prefix)
{
    int n = 0;
    const auto names = platform::list_files(folder);
    for (const auto& name : *names)
        n += name.starts_with(prefix);
    return n;
}

int fennimo(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral(FENNIMO_PROGRAM), arguments);
    bench::wait_or_exit(process, "fennimo");
    return process.exitCode();
}

// The command line ended by `signal` at a random point of a run, then
// undone: every file must come back, the one in flight included.
bool print_kill(const QString& base, int count, int signal)
{
    // A state folder of its own, where the run's journal is the only one.
    const temporary_state_folder state;
    const bench::numbered_folder dir(base, count);
    QProcess process;
    process.start(QStringLiteral(FENNIMO_PROGRAM), {"--replace", "a", "b", QFile::decodeName(dir.path.c_str())});
    if (!process.waitForStarted()) {
        std::fprintf(stderr, "fennimo did not start\n");
        return false;
    }
    // "r TAB inode TAB file_a_000001.txt TAB file_b_000001.txt LF" after a
    // header of about a hundred and fifty bytes.
    const std::size_t point = 150 + 46 * std::size_t(QRandomGenerator::global()->bounded(count));
    std::string journal;
    fixture::seen_while_running(process, [&] {
        const auto files = renamer::journal_files();
        if (!files.empty())
            journal = files.back();
        return !files.empty();
    });
    const int fd = ::open(journal.c_str(), O_RDONLY);
    // The journal grows in steps; the point must be inside it.
    struct stat st {};
    fixture::seen_while_running(process, [&] {
        return fd < 0 || ::fstat(fd, &st) != 0 || std::size_t(st.st_size) > point;
    });
    void* map = fd >= 0 && std::size_t(st.st_size) > point
                    ? ::mmap(nullptr, point + 1, PROT_READ, MAP_SHARED, fd, 0) : MAP_FAILED;
    if (map == MAP_FAILED) {
        std::fprintf(stderr, "cannot watch the journal\n");
        return false;
    }
    const volatile char* watched = static_cast<const char*>(map) + point;
    fixture::seen_while_running(process, [&] { return *watched != 0; });
    ::kill(pid_t(process.processId()), signal);
    bench::wait_or_exit(process, "fennimo");
    ::munmap(map, point + 1);
    ::close(fd);
    const int renamed = count_starting(dir.path, "file_b_");
    const auto journalled = renamer::read_journal(journal).text.entries.size();
    const int code = fennimo({"--undo", "--yes"});
    const int restored = count_starting(dir.path, "file_a_");
    std::printf("%-12s %-7s %8d %9d %10zu %9d %6d %5d\n", qPrintable(base), sigabbrev_np(signal), count, renamed,
                journalled, restored, count - restored, code);
    std::fflush(stdout);
    return count == restored;
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    platform::install_font_substitutes();
    boxes.on_question = [](const QString&, const QString&) { return true; };
    refuse_reports();

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

            renamer::Form3 window(folder, boxes);
            window.show();
            QApplication::processEvents();
            window.set_text(renamer::text_id::Text3, "a");
            window.set_text(renamer::text_id::Text4, "b");
            // The run and the undo each go on from the event loop, a slice
            // at a time, until the window is idle again.
            auto start = bench::clock_type::now();
            window.Command1().click();
            finish_run(window);
            const double run = bench::seconds_since(start);

            start = bench::clock_type::now();
            window.undo_last_run();
            finish_run(window);
            const double undo = bench::seconds_since(start);

            if (platform::list_files(folder) != names) {
                std::fprintf(stderr, "the undo did not put every name back\n");
                return 1;
            }
            std::printf("%-12s %8d %9.3f %9.3f %7.2f\n", qPrintable(base), n, run, undo, undo / run);
            bench::record("undo ratio", base, n, undo / run);
            std::fflush(stdout);
        }

    // The journals of the runs below go to a folder of their own too.
    const temporary_state_folder state;
    std::printf("\nthe journal's share of a run of the command line's kind, replace \"a\" by \"b\", in processor "
                "time (medians of 5)\n");
    std::printf("%-12s %8s %9s %9s %10s %9s %10s\n", "folder", "files", "with s", "without", "share",
                "lines s", "lines");
    for (const auto& base : bench::bases(argc, argv))
        print_journal_share(base, count);

    std::printf("\nfennimo --replace a b ended by a signal at a random point, then fennimo --undo --yes: 30 "
                "rounds\n");
    std::printf("%-12s %-7s %8s %9s %10s %9s %6s %5s\n", "folder", "signal", "files", "renamed", "journalled",
                "restored", "lost", "exit");
    int lost_rounds = 0;
    const QStringList bases = bench::bases(argc, argv);
    const int endings[] = {SIGKILL, SIGTERM, SIGINT, SIGHUP};
    for (int round = 0; round < 30; ++round)
        lost_rounds += !print_kill(bases[round % int(bases.size())], count, endings[round % 4]);
    bench::record("rounds with a file left", {}, count, lost_rounds);
    return lost_rounds == 0 ? 0 : 1;
}

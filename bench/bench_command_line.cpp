// The command line's run over 100,000 files, as a whole process from start
// to exit, timed against the floor of a plain renameat2 loop doing the same
// renames on a fresh copy of the same folder, and against the same loop
// looking at each entry first; beside it the command-line
// renamers of the system doing the same job (replace "a" by "b" in every
// name, never replacing a file), each against its own floor, or "skipped"
// when it is not installed; and first the floor itself timed as a run,
// whose ratio is the bench's own error in the sitting. On /dev/shm and on
// the disk; not a test. Each figure is the median of five rounds, each
// ratio the median of the rounds' own, both in time on the clock and in
// processor time (user and system), which a busy machine disturbs less.
//
//   build/bench/bench_command_line [files] [folder ...]

#include "rename_bench.h"

#include "folder_fixture.h"

#include "platform/files/folder_reading.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>

namespace {

QString folder_name(const std::string& folder)
{
    return QFile::decodeName(QByteArray::fromStdString(folder));
}

// The processor time of the processes a row has run.
double child_cpu = 0;

// Runs a program in `folder`, feeding it `input`, and answers the seconds
// from its start to its exit.
double timed_process(const QString& program, const QStringList& arguments, const std::string& folder,
                     const QByteArray& input = {})
{
    QProcess process;
    process.setWorkingDirectory(folder_name(folder));
    const double cpu_start = bench::cpu_seconds(true);
    const auto start = bench::clock_type::now();
    process.start(program, arguments);
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(-1);
    const double seconds = bench::seconds_since(start);
    child_cpu += bench::cpu_seconds(true) - cpu_start;
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "%s failed: %s\n", qPrintable(program), process.readAllStandardError().constData());
        std::exit(1);
    }
    return seconds;
}

std::vector<std::string> names_in(const std::string& folder)
{
    return platform::list_files(folder).value_or(std::vector<std::string>{});
}

struct peer {
    const char* label;
    QString program;
    std::function<double(const QString& program, const std::string& folder)> run;
};

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    // The runs journal their renames, as they do for the user, but not into
    // the real home.
    const temporary_state_folder state;
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;

    const std::vector<peer> peers{
        // The floor itself, timed as a run is: how far from 1.00 the bench
        // puts a program that does no more than the floor.
        {"floor as a run", QStringLiteral("(in the bench)"),
         [](const QString&, const std::string& folder) {
             const auto [seconds, cpu] = bench::time_floor(folder, false);
             child_cpu += cpu;
             return seconds;
         }},
        {"fennimo", QStringLiteral(FENNIMO_PROGRAM),
         [](const QString& program, const std::string& folder) {
             return timed_process(program, {"--replace", "a", "b", folder_name(folder)}, "/");
         }},
        // Names on its standard input, since 100,000 do not fit a command line.
        {"perl rename", QStandardPaths::findExecutable(QStringLiteral("file-rename")),
         [](const QString& program, const std::string& folder) {
             QByteArray names;
             for (const auto& name : names_in(folder))
                 names += QByteArray::fromStdString(name) + '\0';
             return timed_process(program, {"-0", "s/a/b/"}, folder, names);
         }},
        // As xargs would: as many names per call as fit.
        {"util-linux rename", QStandardPaths::findExecutable(QStringLiteral("rename.ul")),
         [](const QString& program, const std::string& folder) {
             const auto names = names_in(folder);
             double seconds = 0;
             for (std::size_t at = 0; at < names.size(); at += 5000) {
                 QStringList arguments{"--no-overwrite", "a", "b", "--"};
                 for (std::size_t k = at; k < names.size() && k < at + 5000; ++k)
                     arguments << folder_name(names[k]);
                 seconds += timed_process(program, arguments, folder);
             }
             return seconds;
         }},
        {"mmv", QStandardPaths::findExecutable(QStringLiteral("mmv")),
         [](const QString& program, const std::string& folder) {
             return timed_process(program, {"file_a_*", "file_b_#1"}, folder);
         }},
    };

    std::printf("replace \"a\" by \"b\" in every name, each against a plain renameat2 loop and against the\n"
                "same loop looking at each entry first (\"checked\"); medians of 5 rounds\n");
    std::printf("%-12s %-18s %8s %9s %9s %7s %9s %7s %9s %9s %7s\n", "folder", "program", "files", "run s",
                "floor s", "ratio", "checked s", "ratio", "run cpu", "floor cpu", "ratio");
    for (const auto& base : bench::bases(argc, argv)) {
        for (const auto& p : peers) {
            if (p.program.isEmpty()) {
                std::printf("%-12s %-18s %8d %9s\n", qPrintable(base), p.label, count, "skipped");
                continue;
            }
            std::vector<double> runs, floors, ratios, checked, checked_ratios, cpus, floor_cpus, cpu_ratios;
            for (int round = 0; round < 5; ++round) {
                child_cpu = 0;
                const auto f =
                    bench::measure(base, count, [&](const std::string& folder) { return p.run(p.program, folder); });
                runs.push_back(f.run);
                floors.push_back(f.floor);
                ratios.push_back(f.run / f.floor);
                checked.push_back(f.checked_floor);
                checked_ratios.push_back(f.run / f.checked_floor);
                cpus.push_back(child_cpu);
                floor_cpus.push_back(f.floor_cpu);
                cpu_ratios.push_back(child_cpu / f.floor_cpu);
            }
            using bench::median;
            std::printf("%-12s %-18s %8d %9.3f %9.3f %7.2f %9.3f %7.2f %9.3f %9.3f %7.2f\n", qPrintable(base),
                        p.label, count, median(runs), median(floors), median(ratios), median(checked),
                        median(checked_ratios), median(cpus), median(floor_cpus), median(cpu_ratios));
            std::fflush(stdout);
        }
    }
    return 0;
}

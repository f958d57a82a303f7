// What the journal costs where it is largest, through the real program:
//
// - fennimo --history over 20 journals of 1,000,000 renames each, made
//   here line by line as a run writes them: the time on the clock and the
//   largest memory it takes (target: within 1 s and 50 MB);
// - fennimo --undo --yes after fennimo --replace a b over 1,000,000 files,
//   against the run (target: within 1.5 times the run, 300 MB);
// - a run over 100,000 files of which 10,000 meet a file whose name differs
//   only in case, against the same run where the 10,000 others bear names
//   no rename meets (target: within 1.2 times).
//
// Each figure is the program's, measured as a child process: the time on the
// clock, and the most memory it held (its maximum resident set). Not a test.
//
//   build/bench/bench_journal [files] [folder ...]

#include "rename_bench.h"

#include "folder_fixture.h"
#include "core/journal.h"

#include "platform/files/folder_reading.h"
#include "platform/files/identity.h"

#include <QCoreApplication>
#include <QProcess>

#include <sys/resource.h>
#include <sys/wait.h>

using namespace fixture;

namespace {

struct measured {
    double seconds = 0;
    double megabytes = 0;
    int code = -1;
};

// The program run to its end with the state folder `state`: its time on the
// clock and its largest resident set.
measured run_fennimo(const std::vector<std::string>& arguments, const std::string& state)
{
    std::vector<char*> argv{const_cast<char*>(FENNIMO_PROGRAM)};
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const auto start = bench::clock_type::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("XDG_STATE_HOME", state.c_str(), 1);
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage {};
    ::wait4(child, &status, 0, &usage);
    return {bench::seconds_since(start), double(usage.ru_maxrss) / 1024, WIFEXITED(status) ? WEXITSTATUS(status) : -1};
}

// Twenty journals of `count` moves each, as runs write them.
void make_journals(const std::string& state, int count)
{
    const std::string runs = state + "/fennimo/runs";
    make_path(runs);
    ::chmod((state + "/fennimo").c_str(), 0700);
    ::chmod(runs.c_str(), 0700);
    const platform::folder_identity identity{1, 2, 3, 4, 5};
    for (int run = 1; run <= 20; ++run) {
        std::string text = renamer::journal_head("/home/ann/photos", identity, renamer::file_naming::inode, 1);
        char old_name[32], new_name[32];
        for (int i = 1; i <= count; ++i) {
            std::snprintf(old_name, sizeof old_name, "file_a_%07d.txt", i);
            std::snprintf(new_name, sizeof new_name, "file_b_%07d.txt", i);
            renamer::append_move_line(text, "r", {renamer::inode_key(std::uint64_t(1000000 + i)), old_name, new_name});
        }
        text += "end\tcomplete\t" + std::to_string(count) + "\n";
        char name[64];
        std::snprintf(name, sizeof name, "journal-%020d", run);
        write_file(runs, name, text);
        ::chmod((runs + "/" + name).c_str(), 0600);
    }
}

// Files f0000001.JPG and so on; `collisions` of them meet a file of the
// same name in lower case.
void make_case_folder(const std::string& folder, int count, int collisions)
{
    char name[32];
    for (int i = 1; i <= count; ++i) {
        std::snprintf(name, sizeof name, "f%07d.JPG", i);
        write_file(folder, name, "");
    }
    for (int i = 1; i <= collisions; ++i) {
        // Beside every tenth file, so that the collisions lie throughout.
        std::snprintf(name, sizeof name, "f%07d.jpg", i * (count / collisions));
        write_file(folder, name, "");
    }
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1000000;

    {
        const temporary_state_folder state;
        const std::string folder = QFile::encodeName(state.dir.path()).toStdString();
        make_journals(folder, count);
        run_fennimo({"--history"}, folder);
        const measured history = run_fennimo({"--history"}, folder);
        std::printf("fennimo --history, 20 journals of %d renames: %.3f s, %.1f MB at most (exit %d)\n", count,
                    history.seconds, history.megabytes, history.code);
        bench::record("history s", {}, count, history.seconds);
        bench::record("history MB", {}, count, history.megabytes);
        std::fflush(stdout);
    }

    std::printf("\nfennimo --undo --yes after fennimo --replace a b, %d files\n", count);
    std::printf("%-12s %9s %9s %7s %9s %9s\n", "folder", "run s", "undo s", "ratio", "run MB", "undo MB");
    for (const auto& base : bench::bases(argc, argv)) {
        const temporary_state_folder state;
        const std::string state_path = QFile::encodeName(state.dir.path()).toStdString();
        const bench::numbered_folder dir(base, count);
        ::sync();
        const measured run = run_fennimo({"--replace", "a", "b", dir.path}, state_path);
        ::sync();
        const measured undo = run_fennimo({"--undo", "--yes"}, state_path);
        const auto names = platform::list_files(dir.path);
        const bool back = names && names->size() == std::size_t(count) && names->back().starts_with("file_a_");
        std::printf("%-12s %9.3f %9.3f %7.2f %9.1f %9.1f%s\n", qPrintable(base), run.seconds, undo.seconds,
                    undo.seconds / run.seconds, run.megabytes, undo.megabytes, back ? "" : "  (not every file back)");
        bench::record("undo ratio", base, count, undo.seconds / run.seconds);
        bench::record("undo MB", base, count, std::max(run.megabytes, undo.megabytes));
        bench::record("undo not back", base, count, back ? 0 : 1);
        std::fflush(stdout);
    }

    const int files = 100000, collisions = 10000;
    std::printf("\nfennimo --replace JPG jpg, %d files, %d meeting a name that differs only in case, against none "
                "(medians of 3)\n", files, collisions);
    std::printf("%-12s %11s %9s %7s\n", "folder", "colliding s", "none s", "ratio");
    for (const auto& base : bench::bases(argc, argv)) {
        std::vector<double> with, without;
        for (int round = 0; round < 3; ++round)
            for (const bool colliding : {true, false}) {
                const temporary_state_folder state;
                QTemporaryDir dir(base + QStringLiteral("/fennimo-bench-XXXXXX"));
                const std::string folder = QFile::encodeName(dir.path()).toStdString();
                make_case_folder(folder, files, colliding ? collisions : 0);
                if (!colliding)
                    for (int i = 1; i <= collisions; ++i) {
                        char name[32];
                        std::snprintf(name, sizeof name, "g%07d.jpg", i);
                        write_file(folder, name, "");
                    }
                ::sync();
                const measured run = run_fennimo({"--replace", "JPG", "jpg", folder},
                                                 QFile::encodeName(state.dir.path()).toStdString());
                (colliding ? with : without).push_back(run.seconds);
            }
        std::printf("%-12s %11.3f %9.3f %7.2f\n", qPrintable(base), bench::median(with), bench::median(without),
                    bench::median(with) / bench::median(without));
        bench::record("collision ratio", base, files, bench::median(with) / bench::median(without));
        std::fflush(stdout);
    }
    return 0;
}

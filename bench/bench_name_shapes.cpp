// Names as cameras, scanners and people make them, 100,000 of a shape to a
// folder: counters at the end of 8- and 16-byte names, camera and phone
// names, UUIDs, 200-byte names, Chinese names, and names alike but for
// their case. For each shape, the command line gives every file a new
// extension, as a whole process, against a renameat2 loop making the same
// renames in a fresh copy of the folder; and the order-free check, and the
// image a plan takes and renames in, are timed on their own, in this
// process, in processor time, each against the best shape. A hash that some shape defeats
// shows here as one row far above the others. A last row times the floor
// itself as the run, to show the bench's own error. Medians of 3 rounds;
// not a test.
//
//   build/bench/bench_name_shapes [files] [folder] [--check-only]

#include "rename_bench.h"

#include "folder_fixture.h"
#include "platform/files/listed_folder.h"
#include "platform/files/folder_image.h"
#include "platform/files/folder_reading.h"
#include "platform/files/name_list.h"

#include <QCoreApplication>
#include <QProcess>

#include <random>

namespace {

struct shape {
    const char* label;
    std::function<std::string(int)> name_of;
};

std::string printed(const char* format, long long value)
{
    char name[256];
    std::snprintf(name, sizeof name, format, value);
    return name;
}

std::string uuid(int i)
{
    std::mt19937_64 random(std::uint64_t(i) * 0x9e3779b97f4a7c15u + 1);
    const std::uint64_t high = random(), low = random();
    char name[40];
    std::snprintf(name, sizeof name, "%08llx-%04llx-4%03llx-%04llx-%012llx", (unsigned long long)(high >> 32),
                  (unsigned long long)(high >> 16 & 0xffff), (unsigned long long)(high & 0xfff),
                  (unsigned long long)(0x8000 | (low >> 48 & 0x3fff)), (unsigned long long)(low & 0xffffffffffffu));
    return name;
}

// One word, each of its letters in upper or lower case by a bit of the
// file's number: names that all fold alike.
std::string in_case_of(int i)
{
    std::string name = "photographicseries";
    for (std::size_t k = 0; k < name.size(); ++k)
        if (i >> k & 1)
            name[k] = char(name[k] - 'a' + 'A');
    return name;
}

const shape shapes[] = {
    {"a%07d", [](int i) { return printed("a%07lld", i); }},
    {"%08d", [](int i) { return printed("%08lld", i); }},
    {"holiday_%08d", [](int i) { return printed("holiday_%08lld", i); }},
    {"scan%012d", [](int i) { return printed("scan%012lld", i); }},
    {"DSC%05d.JPG", [](int i) { return printed("DSC%05lld.JPG", i); }},
    {"IMG_%04d.JPG", [](int i) { return printed("IMG_%04lld.JPG", i); }},
    {"UUID", uuid},
    {"200 bytes", [](int i) { return std::string(190, 'x') + printed("%010lld", i); }},
    {"Chinese", [](int i) { return printed("\xe5\x81\x87\xe6\x97\xa5\xe7\x85\xa7\xe7\x89\x87_%06lld.jpg", i); }},
    {"case only", in_case_of},
};

renamer::rename_options new_extension()
{
    renamer::rename_options options;
    options.change_extension = true;
    options.new_extension = "new";
    return options;
}

std::string new_name_of(const std::string& name)
{
    std::string out;
    renamer::make_new_name(out, new_extension(), name, 0);
    return out;
}

struct shaped_folder {
    shaped_folder(const QString& base, const shape& s, int count) : dir(base + QStringLiteral("/fennimo-shapes-XXXXXX"))
    {
        path = QFile::encodeName(dir.path()).toStdString();
        for (int i = 0; i < count; ++i) {
            const std::string file = path + "/" + s.name_of(i);
            const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            if (fd < 0) {
                std::perror(file.c_str());
                std::exit(1);
            }
            ::close(fd);
        }
    }
    QTemporaryDir dir;
    std::string path;
};

double run_command_line(const std::string& folder)
{
    QProcess process;
    const auto start = bench::clock_type::now();
    process.start(QStringLiteral(FENNIMO_PROGRAM),
                  {"--extension", "new", QFile::decodeName(QByteArray::fromStdString(folder))});
    process.closeWriteChannel();
    process.waitForFinished(-1);
    const double seconds = bench::seconds_since(start);
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        std::fprintf(stderr, "fennimo failed: %s\n", process.readAllStandardError().constData());
        std::exit(1);
    }
    return seconds;
}

// The processor time `step` takes, the best of a few tries: the check is
// a few milliseconds, which another process's turn on the processor swamps
// on the clock.
template <typename Step>
double best_of(Step step)
{
    double best = 1e9;
    for (int i = 0; i < 15; ++i) {
        const double start = bench::cpu_seconds();
        step();
        best = std::min(best, bench::cpu_seconds() - start);
    }
    return best;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const temporary_state_folder state;
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const QString base = argc > 2 ? QString::fromLocal8Bit(argv[2]) : QStringLiteral("/dev/shm");
    const bool check_only = argc > 3 && std::strcmp(argv[3], "--check-only") == 0;

    struct row {
        double run, floor, ratio, check, image;
        bool order_free;
    };
    std::vector<row> rows;
    // After the shapes, the floor itself timed as a run is, on the first
    // shape: how far from 1.00 the bench puts a program that does no more
    // than the floor.
    const std::size_t shape_count = std::size(shapes);
    for (std::size_t at = 0; at <= shape_count; ++at) {
        const bool floor_as_run = at == shape_count;
        if (floor_as_run && check_only)
            break;
        const shape& s = shapes[floor_as_run ? 0 : at];
        std::vector<double> runs, floors, ratios;
        row r{};
        for (int round = 0; round < 3; ++round) {
            std::optional<shaped_folder> run_dir(std::in_place, base, s, count);
            const shaped_folder floor_dir(base, s, count);
            if (round == 0) {
                // The check and the plan's image, in this process, on the
                // run's folder before the run.
                const auto listed = platform::listed_folder::read(run_dir->path);
                platform::name_list new_names;
                for (const auto name : listed->entries())
                    new_names.push_back(new_name_of(std::string(name)));
                r.check = best_of([&] { r.order_free = listed->order_free(new_names).has_value(); });
                r.image = best_of([&] {
                    auto image = platform::folder_image::read(run_dir->path);
                    for (std::size_t i = 0; i < new_names.size(); ++i)
                        image->rename_listed(listed->entries()[i], new_names[i]);
                });
            }
            if (check_only)
                break;
            ::sync();
            const double run = floor_as_run ? bench::time_floor(run_dir->path, false, new_name_of).first
                                             : run_command_line(run_dir->path);
            ::sync();
            const double floor = bench::time_floor(floor_dir.path, false, new_name_of).first;
            const auto renamed = platform::list_files(run_dir->path);
            if (!renamed || renamed->size() != std::size_t(count) ||
                std::any_of(renamed->begin(), renamed->end(),
                            [](const std::string& name) { return !name.ends_with(".new"); })) {
                std::fprintf(stderr, "%s: the run did not rename every file\n", s.label);
                return 1;
            }
            runs.push_back(run);
            floors.push_back(floor);
            ratios.push_back(run / floor);
        }
        if (check_only)
            runs = floors = ratios = {0};
        r.run = bench::median(runs);
        r.floor = bench::median(floors);
        r.ratio = bench::median(ratios);
        rows.push_back(r);
    }
    // A check that finds two new names alike stops there: only those that
    // went through every name are a fair best.
    double best_check = 1e9, best_image = 1e9;
    for (const auto& r : rows) {
        if (r.order_free)
            best_check = std::min(best_check, r.check);
        best_image = std::min(best_image, r.image);
    }
    std::printf("a new extension for each of %d files of a shape in %s; run and floor medians of 3 rounds,\n"
                "the check and the plan's image in processor time, the best of 15, each also against the best shape's\n",
                count, qPrintable(base));
    std::printf("%-14s %8s %8s %6s %9s %6s %10s %9s %6s\n", "shape", "run s", "floor s", "ratio", "check ms", "/best",
                "order-free", "image ms", "/best");
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const row& r = rows[i];
        std::printf("%-14s %8.3f %8.3f %6.2f %9.2f %6.2f %10s %9.1f %6.2f\n",
                    i < std::size(shapes) ? shapes[i].label : "floor as a run", r.run, r.floor, r.ratio,
                    r.check * 1e3, r.check / best_check, r.order_free ? "yes" : "no", r.image * 1e3,
                    r.image / best_image);
    }
    return 0;
}

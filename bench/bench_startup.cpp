// How long until the first frame is painted: a bare Qt window that paints
// one line of Chinese in the interface's font (the floor), then the main
// window opened on a folder of 10 files and on one of 100,000. Each window
// is started in a process of its own, as the program starts, and timed from
// the moment the process is started to the end of its first painted frame;
// medians of 5 rounds. Not a test.
//
//   build/bench/bench_startup [files] [folder]
//
// On the offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include "platform/toolkit/fonts.h"
#include "app/application.h"
#include "app/main_window.h"

#include <QApplication>
#include <QDir>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

// The machine's monotonic clock, which every process reads alike.
long long now_ns()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<long long>(t.tv_sec) * 1000000000 + t.tv_nsec;
}

class bare_window : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setFont(renamer::interface_font());
        painter.drawText(QPoint(20, 40), QStringLiteral("将上面所有文件名称中的字符替换为"));
    }
};

// At the first paint of `watched`, posts the report, which therefore runs
// once the whole frame is painted, then ends the process.
class first_frame : public QObject {
public:
    explicit first_frame(QWidget* watched) { watched->installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(
                this,
                [] {
                    std::printf("%lld\n", now_ns());
                    std::fflush(stdout);
                    std::_Exit(0);
                },
                Qt::QueuedConnection);
        }
        return false;
    }
};

int child(int argc, char** argv)
{
    QApplication app(argc, argv);
    const std::string folder = argv[3];
    if (folder.empty()) {
        platform::install_font_substitutes();
        bare_window window;
        window.resize(786, 529);
        first_frame watch(&window);
        window.show();
        return app.exec();
    }
    // As the program starts.
    renamer::set_up_application();
    renamer::Form3 window(folder);
    first_frame watch(&window.xp_canvas1());
    window.show();
    return app.exec();
}

void make_files(const QString& folder, int count)
{
    for (int i = 0; i < count; ++i) {
        const QByteArray path = QFile::encodeName(folder) + "/file_a_" + QByteArray::number(i) + ".txt";
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0)
            ::close(fd);
    }
}

// Milliseconds from starting the process to its first frame.
double first_frame_ms(const QString& program, const QString& folder)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    const long long start = now_ns();
    process.start(program, {QStringLiteral("--child"), QStringLiteral("--folder"), folder});
    if (!process.waitForFinished(60000)) {
        std::fprintf(stderr, "bench_startup: the window did not paint\n");
        std::exit(1);
    }
    const long long painted = process.readAllStandardOutput().trimmed().toLongLong();
    return double(painted - start) / 1e6;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 4 && std::string(argv[1]) == "--child")
        return child(argc, argv);

    QCoreApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
    const QString base = argc > 2 ? QString::fromLocal8Bit(argv[2])
                                  : (QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm")
                                                                               : QDir::tempPath());
    QTemporaryDir small(base + QStringLiteral("/fennimo-bench-XXXXXX"));
    QTemporaryDir large(base + QStringLiteral("/fennimo-bench-XXXXXX"));
    if (!small.isValid() || !large.isValid()) {
        std::fprintf(stderr, "bench_startup: cannot make folders under %s\n", qPrintable(base));
        return 1;
    }
    make_files(small.path(), 10);
    make_files(large.path(), count);

    const QString program = QCoreApplication::applicationFilePath();
    // Each round times the bare window beside the two others, and each
    // ratio is taken against the bare window of its own round.
    std::vector<double> bare, few, many, few_ratio, many_ratio;
    for (int round = 0; round < 5; ++round) {
        bare.push_back(first_frame_ms(program, QString()));
        few.push_back(first_frame_ms(program, small.path()));
        many.push_back(first_frame_ms(program, large.path()));
        few_ratio.push_back(few.back() / bare.back());
        many_ratio.push_back(many.back() / bare.back());
    }
    std::printf("first painted frame, from the start of the process (medians of 5 rounds)\n");
    std::printf("%-40s %8.1f ms\n", "bare window, one line of Chinese", median(bare));
    std::printf("%-40s %8.1f ms  ratio %.2f\n", "Fennimo, folder of 10 files", median(few), median(few_ratio));
    const QByteArray label = "Fennimo, folder of " + QByteArray::number(count) + " files";
    std::printf("%-40s %8.1f ms  ratio %.2f\n", label.constData(), median(many), median(many_ratio));
    return 0;
}

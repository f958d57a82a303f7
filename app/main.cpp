#include "application.h"
#include "cli/command_line.h"
#include "core/journal.h"
#include "main_window.h"

#include "platform/files/terminal.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// What Qt says while it connects to the display, held back until it is known
// whether there is one.
std::vector<std::pair<QtMsgType, std::string>> held_messages;
QtMessageHandler qt_handler = nullptr;

// Without a display Qt ends the program with an abort and a page of its own
// English. The window cannot open then, and the one thing worth saying is
// that, in the program's language, with the way to rename without a window.
void while_connecting(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (type != QtFatalMsg) {
        (void)context;
        held_messages.emplace_back(type, text.toStdString());
        return;
    }
    static const char message[] = "没有可以打开窗口的显示（DISPLAY 或 WAYLAND_DISPLAY），"
                                  "不开窗口的用法见 fennimo --help。\n";
    // Nothing can be done about a failed write here: the status says it.
    (void)!std::fwrite(message, 1, sizeof message - 1, stderr);
    std::_Exit(renamer::exit_usage);
}

} // namespace

int main(int argc, char** argv)
{
    platform::keep_standard_streams_open();
    // Before anything can rename: a termination signal then ends every
    // journal still being written before the program ends.
    renamer::install_journal_handlers();
    QCoreApplication::setApplicationVersion(QStringLiteral(FENNIMO_VERSION));
    renamer::command_line request(argc, argv);
    if (!request.wants_window()) {
        // No window, and no connection to a display either: the command
        // line works over SSH, in scripts and on machines with no desktop.
        QCoreApplication app(argc, argv);
        return request.run();
    }

    // The desktop's fonts and colours would reach Qt's own dialogs, which
    // the program's windows open over; set_up_application gives its own.
    QApplication::setDesktopSettingsAware(false);
    qt_handler = qInstallMessageHandler(while_connecting);
    QApplication app(argc, argv);
    qInstallMessageHandler(qt_handler);
    for (const auto& [type, text] : held_messages)
        if (qt_handler)
            qt_handler(type, QMessageLogContext(), QString::fromStdString(text));
    held_messages.clear();

    renamer::set_up_application();
    // A folder that cannot be opened is handled as at any start: the window
    // opens on its drive.
    renamer::Form3 window(request.folder());
    window.show();
    return app.exec();
}

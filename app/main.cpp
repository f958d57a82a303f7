#include "application.h"
#include "cli/command_line.h"
#include "main_window.h"

#include <QApplication>

int main(int argc, char** argv)
{
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
    QApplication app(argc, argv);
    renamer::set_up_application();
    // A folder that cannot be opened is handled as at any start: the window
    // opens on its drive.
    renamer::Form3 window(request.folder());
    window.show();
    return app.exec();
}

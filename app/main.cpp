#include "application.h"
#include "cli/command_line.h"
#include "engine/journal.h"
#include "main_window.h"

#include <QApplication>

int main(int argc, char** argv)
{
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

    QApplication app(argc, argv);
    renamer::set_up_application();
    // A folder that cannot be opened is handled as at any start: the window
    // opens on its drive.
    renamer::Form3 window(request.folder());
    window.show();
    return app.exec();
}

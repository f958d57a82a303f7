#include "command_line.h"
#include "form3.h"

#include "platform/fonts.h"

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

    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Fennimo"));
    platform::install_font_substitutes();

    // The window opens on the folder given, or on the one the program was
    // started from.
    renamer::Form3 window(request.folder());
    window.show();
    return app.exec();
}

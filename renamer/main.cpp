#include "form3.h"

#include "platform/fonts.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Fennimo"));
    platform::install_font_substitutes();

    // The window opens on the folder the program was started from.
    renamer::Form3 window;
    window.show();
    return app.exec();
}

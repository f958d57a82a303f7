#include "application.h"

#include "platform/fonts.h"
#include "platform/pictures.h"

#include <QApplication>
#include <QPixmap>

namespace renamer {

void set_up_application()
{
    QApplication::setApplicationName(QStringLiteral("Fennimo"));
    // No display name: the desktop would add it to every window title,
    // which must be the window's caption alone.
    QApplication::setDesktopFileName(QStringLiteral("org.fennimo.Fennimo"));
    platform::install_font_substitutes();
    QApplication::setWindowIcon(program_icon());
}

QIcon program_icon()
{
    QIcon icon;
    for (const char* name : {"app_icon_16", "main_icon", "app_icon_48"})
        icon.addPixmap(QPixmap::fromImage(platform::picture(QString::fromLatin1(name))));
    return icon;
}

} // namespace renamer

#include "application.h"

#include "platform/toolkit/fonts.h"
#include "platform/toolkit/palette.h"
#include "platform/toolkit/pictures.h"

#include <QApplication>
#include <QFont>
#include <QLibraryInfo>
#include <QLocale>
#include <QPixmap>
#include <QTranslator>

namespace renamer {

void set_up_application()
{
    QApplication::setApplicationName(QStringLiteral("Fennimo"));
    // No display name: the desktop would add it to every window title,
    // which must be the window's caption alone.
    QApplication::setDesktopFileName(QStringLiteral("org.fennimo.Fennimo"));
    platform::install_font_substitutes();
    // The windows draw their skinned parts themselves and were designed with
    // Qt's own Fusion style, the light palette of the design and Qt's plain
    // system font for everything else: the lists, the fields, the scroll bars
    // and Qt's message boxes. A style override, a platform theme or a dark
    // palette of the desktop would reach those alone, and leave dark or
    // borderless fields in a light window; the program sets all three.
    QApplication::setStyle(QStringLiteral("Fusion"));
    QApplication::setPalette(platform::design_palette());
    const QFont plain(QStringLiteral("Sans Serif"), 9);
    QApplication::setFont(plain);
    QApplication::setWindowIcon(program_icon());
    // The interface is Chinese whatever the system's language, and so are
    // the buttons Qt puts in its own dialogs ("确定", "是", "否"). Without
    // the translations installed they stay English.
    auto* qt_texts = new QTranslator(QApplication::instance());
    if (qt_texts->load(QLocale(QLocale::Chinese, QLocale::China), QStringLiteral("qtbase"), QStringLiteral("_"),
                       QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(qt_texts);
    else
        delete qt_texts;
}

QIcon program_icon()
{
    QIcon icon;
    for (const char* name : {"app_icon_16", "main_icon", "app_icon_48"})
        icon.addPixmap(QPixmap::fromImage(platform::picture(QString::fromLatin1(name))));
    return icon;
}

} // namespace renamer

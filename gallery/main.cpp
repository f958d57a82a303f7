// fennimo-gallery: every control of Fennimo's control library in every face
// and state, for those who reuse the library and as a picture to check by eye.

#include "gallery_window.h"

#include "platform/toolkit/fonts.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("fennimo-gallery"));
    platform::install_font_substitutes();
    gallery::gallery_window window;
    if (QScreen* screen = window.screen())
        window.move(screen->availableGeometry().topLeft() + QPoint(24, 24));
    window.show();
    window.pose();
    return app.exec();
}

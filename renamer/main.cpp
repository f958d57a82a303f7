#include <QApplication>
#include <QLabel>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Fennimo"));

    // Until the skinned main window is assembled, a plain window says so.
    QLabel placeholder(QStringLiteral("Fennimo 1.2.0: the main window is being built."));
    placeholder.setMargin(24);
    placeholder.setWindowTitle(QStringLiteral("Fennimo 1.2.0 "));
    placeholder.show();
    return app.exec();
}

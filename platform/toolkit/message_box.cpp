#include "message_box.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace platform {

QString application_title()
{
    const QString title = QGuiApplication::applicationDisplayName();
    return title.isEmpty() ? QStringLiteral("Fennimo") : title;
}

std::unique_ptr<QMessageBox> make_box(const QString& text, bool question)
{
    auto box = std::make_unique<QMessageBox>(question ? QMessageBox::Question : QMessageBox::NoIcon,
                                             application_title(), text,
                                             question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
    // Qt guesses rich text from the first tag it sees, so a file called
    // "<img src=...>" would otherwise be drawn rather than named.
    box->setTextFormat(Qt::PlainText);
    if (question) {
        box->setDefaultButton(QMessageBox::No);
        box->setEscapeButton(QMessageBox::No);
    }
    return box;
}

void message_boxes::message(const QString& text, const QString& title)
{
    auto box = make_box(text, false);
    box->setWindowTitle(title);
    box->exec();
}

bool message_boxes::question(const QString& text, const QString& title)
{
    auto box = make_box(text, true);
    box->setWindowTitle(title);
    return box->exec() == QMessageBox::Yes;
}

message_boxes& modal_boxes()
{
    static message_boxes modal;
    return modal;
}

} // namespace platform

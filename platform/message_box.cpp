#include "message_box.h"
#include "test_hooks.h"

#include <QGuiApplication>
#include <QMessageBox>

namespace platform {

namespace {

std::function<void(const QString&, const QString&)>& box_hook()
{
    static std::function<void(const QString&, const QString&)> hook;
    return hook;
}

std::function<bool(const QString&, const QString&)>& question_hook()
{
    static std::function<bool(const QString&, const QString&)> hook;
    return hook;
}

} // namespace

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

void message_box(const QString& text)
{
    if (box_hook()) {
        box_hook()(text, application_title());
        return;
    }
    make_box(text, false)->exec();
}

bool question_box(const QString& text)
{
    if (question_hook())
        return question_hook()(text, application_title());
    return make_box(text, true)->exec() == QMessageBox::Yes;
}

void set_message_box_hook(std::function<void(const QString&, const QString&)> hook)
{
    box_hook() = std::move(hook);
}

void set_question_box_hook(std::function<bool(const QString&, const QString&)> hook)
{
    question_hook() = std::move(hook);
}

} // namespace platform

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

} // namespace

QString application_title()
{
    const QString title = QGuiApplication::applicationDisplayName();
    return title.isEmpty() ? QStringLiteral("Fennimo") : title;
}

void message_box(const QString& text)
{
    if (box_hook()) {
        box_hook()(text, application_title());
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, application_title(), text, QMessageBox::Ok);
    box.exec();
}

void set_message_box_hook(std::function<void(const QString&, const QString&)> hook)
{
    box_hook() = std::move(hook);
}

} // namespace platform

#include "pointer.h"
#include "test_hooks.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace platform {

namespace {

std::optional<QPoint>& cursor_override()
{
    static std::optional<QPoint> position;
    return position;
}

} // namespace

QPoint cursor_pos()
{
    return cursor_override() ? *cursor_override() : QCursor::pos();
}

void set_cursor_pos_override(std::optional<QPoint> position)
{
    cursor_override() = position;
}

QPoint screen_to_client(const QWidget* widget, QPoint screen_point)
{
    return widget ? widget->mapFromGlobal(screen_point) : screen_point;
}

void set_window_region(QWidget* window, const QRegion& region)
{
    if (!window)
        return;
    if (region.isEmpty())
        window->clearMask();
    else
        window->setMask(region);
}

QSize screen_size(const QWidget* widget)
{
    const QScreen* screen = widget ? widget->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(1024, 768);
}

} // namespace platform

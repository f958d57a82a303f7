#include "pointer.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace platform {

namespace {

// The window the pointer was last seen to enter, until it leaves it.
class pointer_follower : public QObject {
public:
    bool known = false;
    QPointer<QWindow> under_pointer;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if (e->type() == QEvent::Enter || e->type() == QEvent::Leave) {
            if (auto* window = qobject_cast<QWindow*>(watched)) {
                known = true;
                if (e->type() == QEvent::Enter)
                    under_pointer = window;
                else if (under_pointer == window)
                    under_pointer = nullptr;
            }
        }
        return false;
    }
};

// Owned by the application, so gone with it.
QPointer<pointer_follower>& follower()
{
    static QPointer<pointer_follower> instance;
    return instance;
}

} // namespace

bool pointer_in_program()
{
    const pointer_follower* f = follower();
    return !f || !f->known || f->under_pointer;
}

void follow_pointer_across_windows()
{
    if (follower() || !QCoreApplication::instance())
        return;
    follower() = new pointer_follower;
    follower()->setParent(QCoreApplication::instance());
    QCoreApplication::instance()->installEventFilter(follower());
}

QPoint cursor_pos()
{
    return QCursor::pos();
}

const pointer_source& system_pointer()
{
    static const pointer_source system;
    return system;
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

bool shapes_by_alpha()
{
    return QGuiApplication::platformName() != QLatin1String("xcb");
}

void prepare_shaped_window(QWidget* window)
{
    if (window && shapes_by_alpha())
        window->setAttribute(Qt::WA_TranslucentBackground);
}

bool can_place_windows()
{
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

QSize screen_size(const QWidget* widget)
{
    const QScreen* screen = widget ? widget->screen() : QGuiApplication::primaryScreen();
    return screen ? screen->geometry().size() : QSize(1024, 768);
}

} // namespace platform

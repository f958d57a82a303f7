#include "message_loop.h"

#include <QCoreApplication>
#include <chrono>

namespace platform {

void yield()
{
    // Events that arrive meanwhile wait at most two milliseconds, far below
    // what a person notices, so the loop runs at most once in two however
    // often the frame (as it is laid out) or the file list (as it reads a
    // large folder) yields; the clock is read at every sixteenth call only.
    static unsigned calls = 0;
    if (++calls % 16 != 0)
        return;
    using clock = std::chrono::steady_clock;
    static clock::time_point last_run;
    const auto now = clock::now();
    if (now - last_run < std::chrono::milliseconds(2))
        return;
    if (QCoreApplication::instance())
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    last_run = clock::now();
}

timer::timer(int interval_ms, bool enabled, QObject* parent) : QObject(parent)
{
    m_timer.setInterval(interval_ms);
    connect(&m_timer, &QTimer::timeout, this, &timer::tick);
    set_enabled(enabled);
}

void timer::set_interval(int ms)
{
    m_timer.setInterval(ms);
}

void timer::set_enabled(bool enabled)
{
    m_enabled = enabled;
    // A zero interval means the timer never ticks on its own.
    if (enabled && m_timer.interval() > 0)
        m_timer.start();
    else
        m_timer.stop();
}

void timer::tick()
{
    if (on_timer)
        on_timer();
}

void end_program()
{
    // The loop returns, and the program ends as it does at any other end:
    // whatever its objects hold (a run's journal among them) is closed.
    QCoreApplication::quit();
}

} // namespace platform

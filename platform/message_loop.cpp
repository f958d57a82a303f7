#include "message_loop.h"
#include "test_hooks.h"

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace platform {

namespace {

// A plain object rather than one made on first use: a run yields twice per
// file, and the check that a function's own object has been made would be
// paid at every yield. Nothing sets a hook before main.
std::function<void()> yield_hook_function;

std::function<void()>& yield_hook()
{
    return yield_hook_function;
}

std::function<void()>& end_hook()
{
    static std::function<void()> hook;
    return hook;
}

} // namespace

void yield()
{
    if (yield_hook()) {
        yield_hook()();
        return;
    }
    // Running the event loop costs about as much as renaming a few files on
    // a memory file system, and a run yields twice per file. Events that
    // arrive meanwhile wait at most two milliseconds, far below what a person
    // notices, so the loop runs once in two however often the run yields.
    // Reading the clock costs a tenth of a rename; it is read at every
    // sixteenth call only, which still finds the millisecond well within a
    // few files on the slowest file system.
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

void set_yield_hook(std::function<void()> hook)
{
    yield_hook() = std::move(hook);
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
    if (end_hook()) {
        end_hook()();
        return;
    }
    std::fflush(nullptr);
    std::_Exit(0);
}

void set_end_program_hook(std::function<void()> hook)
{
    end_hook() = std::move(hook);
}

} // namespace platform

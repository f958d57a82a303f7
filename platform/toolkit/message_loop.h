#pragma once

// The message loop as the windows were designed against it: a call that runs
// whatever is pending and returns, timers that tick on the one user-interface
// thread, and ending the program.

#include <QObject>
#include <QTimer>
#include <functional>

namespace platform {

// Runs the window messages that are pending and returns. The frame calls
// this as it is laid out, and the file list while it reads a large folder,
// so that the window stays live.
void yield();

// A timer with an interval and an enabled flag. Its tick can also be driven
// by hand, which is how tests run it: no test waits on the clock.
class timer : public QObject {
    Q_OBJECT
public:
    explicit timer(int interval_ms = 0, bool enabled = false, QObject* parent = nullptr);

    int interval() const { return m_timer.interval(); }
    void set_interval(int ms);
    bool enabled() const { return m_enabled; }
    void set_enabled(bool enabled);

    // Whether the clock raises the tick now: enabled with an interval.
    bool armed() const { return m_timer.isActive(); }
    // Raises the tick exactly as the clock would.
    void tick();

    std::function<void()> on_timer;

private:
    QTimer m_timer;
    bool m_enabled = false;
};

// Ends the program: the message loop returns once the handler that called
// this has, and the program ends through main.
void end_program();

} // namespace platform

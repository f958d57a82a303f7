#pragma once

// Waiting on a child program without an event loop. QProcess learns that its
// child has ended only from the event loop or inside one of its own waits, so
// a loop that polls state() alone sees a child that died early as running
// for ever, and spins until the test's time runs out. A wait of no time
// reads that news at once and returns at once.

#include <QDeadlineTimer>
#include <QProcess>

#include <chrono>

namespace fixture {

inline bool still_running(QProcess& process)
{
    return process.state() == QProcess::Running && !process.waitForFinished(0);
}

// Spins until `seen()` holds, which the child makes true at a moment the
// caller wants to catch closely, and gives up when the child ends first or
// after `limit`; answers whether it was seen.
template <class Seen>
bool seen_while_running(QProcess& process, Seen seen, std::chrono::milliseconds limit = std::chrono::minutes(2))
{
    const QDeadlineTimer deadline(limit);
    while (!seen()) {
        if (!still_running(process) || deadline.hasExpired())
            return seen();
    }
    return true;
}

} // namespace fixture

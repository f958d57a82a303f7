#pragma once

// Drives a run from the window's event loop: a slice of its steps at each
// turn of the loop, for about two milliseconds, then back to the loop, so
// that the user's events, the progress timer and the painting run between
// two files while the run never calls into the loop itself.

#include "core/run_job.h"

#include <QObject>
#include <QTimer>
#include <functional>
#include <optional>

namespace renamer {

class run_driver : public QObject {
public:
    explicit run_driver(QObject* parent = nullptr);

    // Starts `job`, whose first step runs now, and calls `ended` once the
    // job is over. False, and the job dropped unstarted, while another one
    // goes: one run at a time.
    bool start(run_job job, std::function<void()> ended = {});
    bool running() const { return m_job.has_value(); }
    // Stops the run where it is, between two files: what it holds ends as
    // its own scope would end it. Called from inside a step (a box the run
    // shows runs the loop), the run stops as that step returns.
    void stop();

private:
    void slice();
    void end();

    std::optional<run_job> m_job;
    std::function<void()> m_ended;
    QTimer m_next;
    bool m_in_step = false;
    bool m_stop_due = false;
};

} // namespace renamer

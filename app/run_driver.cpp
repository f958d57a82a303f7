#include "run_driver.h"

#include <chrono>
#include <utility>

namespace renamer {

run_driver::run_driver(QObject* parent) : QObject(parent)
{
    // Started again after each slice rather than left repeating: a box the
    // run shows runs a loop of its own, which must not start another slice
    // inside the step that showed it.
    m_next.setSingleShot(true);
    m_next.setInterval(0);
    connect(&m_next, &QTimer::timeout, this, &run_driver::slice);
}

bool run_driver::start(run_job job, std::function<void()> ended)
{
    if (m_job)
        return false;
    m_job.emplace(std::move(job));
    m_ended = std::move(ended);
    // The first step at once, as the click that started the run: the run
    // has begun (its timer on, its lists emptied) before anything else can
    // come in.
    m_in_step = true;
    const bool more = m_job->step();
    m_in_step = false;
    if (!more || m_stop_due)
        end();
    else
        m_next.start();
    return true;
}

void run_driver::slice()
{
    using clock = std::chrono::steady_clock;
    // Running the event loop costs about as much as renaming a few files on
    // a memory file system; a slice of two milliseconds keeps the loop's
    // share small while no event waits long enough for a person to notice.
    // The clock costs a tenth of a rename and is read every eighth file.
    const auto until = clock::now() + std::chrono::milliseconds(2);
    bool more = true;
    m_in_step = true;
    for (unsigned files = 1; more && !m_stop_due; ++files) {
        more = m_job->step();
        if (files % 8 == 0 && clock::now() >= until)
            break;
    }
    m_in_step = false;
    if (!more || m_stop_due)
        end();
    else
        m_next.start();
}

void run_driver::stop()
{
    if (!m_job)
        return;
    if (m_in_step)
        m_stop_due = true;
    else
        end();
}

void run_driver::end()
{
    m_next.stop();
    m_stop_due = false;
    // The job goes first, so that `ended` finds no run going.
    m_job.reset();
    if (auto ended = std::exchange(m_ended, nullptr))
        ended();
}

} // namespace renamer

#include "run_job.h"

namespace renamer {

run_job& run_job::operator=(run_job&& other) noexcept
{
    if (this != &other) {
        if (m_handle)
            m_handle.destroy();
        m_handle = std::exchange(other.m_handle, {});
    }
    return *this;
}

run_job::~run_job()
{
    // A pass under way lives in the frame of the run that waits on it, and
    // goes with it.
    if (m_handle)
        m_handle.destroy();
}

bool run_job::step()
{
    if (!m_handle)
        return false;
    for (;;) {
        handle at = m_handle;
        while (at.promise().inner)
            at = at.promise().inner;
        if (at.done()) {
            // Only the run itself is left done here: a pass that ended is
            // taken off its run below.
            if (at.promise().failure)
                std::rethrow_exception(std::exchange(at.promise().failure, nullptr));
            return false;
        }
        at.promise().yielded = false;
        at.resume();
        if (at.promise().yielded)
            return true;
        // A pass that ended hands back to its run, which goes on to its own
        // next file; a run that began a pass goes on into the pass.
        if (at.done() && at != m_handle)
            at.promise().outer.promise().inner = {};
    }
}

std::optional<run_outcomes> run_job::take_result()
{
    if (!m_handle)
        return std::nullopt;
    return std::move(m_handle.promise().result);
}

std::optional<run_outcomes> run_to_end(run_job job)
{
    while (job.step()) {
    }
    return job.take_result();
}

} // namespace renamer

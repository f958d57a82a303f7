#pragma once

// A run that goes one file at a time: each step does the next file of the
// pass under way (with whatever a pass does before and after its files),
// and returns. A window drives the steps from its event loop, a few at each
// turn, so that the user's events run between two files without the run
// ever calling into the loop itself; the command line drives them in a
// plain loop. The runs are written as coroutines: a run reads as the
// sequence of passes it is, and `co_yield file_done{}` marks the end of a
// file, where the run may be left until the next step.

#include "report.h"

#include <coroutine>
#include <exception>
#include <optional>
#include <utility>

namespace renamer {

// What a run yields after each file.
struct file_done {};

class run_job {
public:
    struct promise_type;
    using handle = std::coroutine_handle<promise_type>;

    struct promise_type {
        // What the run came to: nothing when it did nothing (an undo with
        // nothing to take back, or the answer no).
        std::optional<run_outcomes> result;
        std::exception_ptr failure;
        // The pass this one waits on, and the run that waits on this one.
        handle inner;
        handle outer;
        bool yielded = false;

        run_job get_return_object() { return run_job(handle::from_promise(*this)); }
        // Nothing runs until the first step.
        std::suspend_always initial_suspend() noexcept { return {}; }
        std::suspend_always final_suspend() noexcept { return {}; }
        std::suspend_always yield_value(file_done) noexcept
        {
            yielded = true;
            return {};
        }
        void return_value(std::optional<run_outcomes> outcomes) { result = std::move(outcomes); }
        void unhandled_exception() { failure = std::current_exception(); }
    };

    run_job() = default;
    run_job(run_job&& other) noexcept : m_handle(std::exchange(other.m_handle, {})) {}
    run_job& operator=(run_job&& other) noexcept;
    run_job(const run_job&) = delete;
    run_job& operator=(const run_job&) = delete;
    // A run dropped before its end stops where it is: what it holds (its
    // journal among them) is ended as the run's own scope would end it.
    ~run_job();

    // Does the next file; false once the run has ended (and then at every
    // later call). What the run threw is thrown here.
    bool step();
    bool done() const { return !m_handle || m_handle.done(); }
    // What the run came to, once done.
    std::optional<run_outcomes> take_result();

private:
    friend struct run_job_awaiter;
    explicit run_job(handle h) : m_handle(h) {}
    handle m_handle;
};

// A pass run inside another: `co_await pass(...)` runs its files as the
// waiting run's own steps and gives what it came to.
struct run_job_awaiter {
    run_job pass;
    bool await_ready() const noexcept { return false; }
    void await_suspend(run_job::handle waiting) noexcept
    {
        pass.m_handle.promise().outer = waiting;
        waiting.promise().inner = pass.m_handle;
    }
    std::optional<run_outcomes> await_resume()
    {
        if (pass.m_handle.promise().failure)
            std::rethrow_exception(pass.m_handle.promise().failure);
        return pass.take_result();
    }
};

inline run_job_awaiter operator co_await(run_job&& pass)
{
    return {std::move(pass)};
}

// Runs every step at once, for a caller that has nothing to do between files.
std::optional<run_outcomes> run_to_end(run_job job);

} // namespace renamer

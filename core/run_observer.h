#pragma once

// Whoever follows a run and talks to its user: a window, which moves its
// bar and shows boxes, or the terminal. A run tells it where it is in plain
// counts of files; how that is shown is the observer's affair.

#include "report.h"

#include <cstdint>
#include <string>

namespace renamer {

class run_observer {
public:
    virtual ~run_observer() = default;

    // A run begins; its first pass goes over `total` files.
    virtual void run_started(std::uint64_t total) = 0;
    // `done` of the `total` files of the pass under way are behind the run.
    // Called between two files, where whoever drives the run may let the
    // user work before the next (run_job); `done` starts again from 0 with
    // each pass.
    virtual void progress(std::uint64_t done, std::uint64_t total) = 0;
    // The run is over; its report, if any, follows.
    virtual void run_ended() = 0;

    // A message with an OK button only; returns once it has been read (a
    // window's box closed).
    virtual void show_message(const std::string& text) = 0;
    // A question with Yes and No buttons; true for Yes.
    virtual bool ask_yes_no(const std::string& text) = 0;
    // What a run tells the user at its end: by default report_text in one
    // box, and nothing when that is empty.
    virtual void report(const run_outcomes& outcomes, run_kind kind);
};

} // namespace renamer

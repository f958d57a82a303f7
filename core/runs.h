#pragma once

// The runs every front end shares: the rename pass, journalled, with its
// report; the plan, the same pass with its renames only worked out; and the
// undo. Each comes as a job, which a window drives step by step from its
// event loop, and as a call that runs every step at once.

#include "file_source.h"
#include "report.h"
#include "rule_inputs.h"
#include "run_job.h"
#include "run_observer.h"

#include "platform/files/file_calls.h"

#include <optional>

namespace renamer {

class journal_writer;
class run_undo;

// The three parts one run works with.
struct front_end {
    rule_inputs& inputs;
    file_source& files;
    run_observer& observer;
};

// The rename pass: every listed file that passes the filters, in list order,
// renamed by the file source, with the inputs read again before each file;
// journalled when `journal` is given, which the pass then ends. It tells the
// observer of each file done.
run_job rename_pass(front_end parts, journal_writer* journal);

// The rename pass alone, journalled, with the report at its end: what the
// command line runs, which has no result lists to fill, on a list made as
// it starts. Where no rename can meet another, it renames in the folder's
// own order; the outcomes keep the list's.
run_outcomes rename_files(const front_end& parts);

// The same pass with no journal and no report, over a file source whose
// rename_file only works out what a rename would do: the plan of a run,
// file by file, in the run's own order.
run_outcomes plan_files(const front_end& parts);

// Whether the undo may go ahead: there is a run to take back (else the
// observer is told why not) and the user says yes to its question.
bool undo_agreed(run_observer& observer, const run_undo& undo);
// Takes every file of `undo` back, telling the observer of each; the undo
// must outlive the job.
run_job undo_pass(run_observer& observer, run_undo& undo);

// Takes back the newest run not yet undone, through `files`: asks first,
// then renames each file back, then the report. Nothing when there was
// nothing to undo or the answer was no.
std::optional<run_outcomes> undo_files(run_observer& observer, const platform::file_system& files);

} // namespace renamer

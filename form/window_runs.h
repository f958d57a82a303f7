#pragma once

#include "core/front_end.h"
#include "core/report.h"
#include "core/run_job.h"
#include "window_controls.h"

#include <optional>

namespace renamer {

// Each window run comes in two forms: a job, which a window drives step by
// step from its event loop, and a call that runs every step at once.

// Command1's Click: renames every listed file that passes the filters, then
// lists the renamed folder in Text1 and Text2. A rename that fails leaves
// that file as it was and the run goes on. Every rename is written to the
// run's own journal. When a file was refused, or the
// journal could not be written, the run shows one report at its end.
run_job rename_job(window_controls& window);
run_outcomes rename_run(window_controls& window);

// The rename pass of that run alone, journalled the same way, with the
// report at its end: what the command line runs, which has no result lists
// to fill, on a list made as it starts. Where no rename can meet another,
// it renames in the folder's own order; the outcomes keep the list's.
run_outcomes rename_files(const front_end& parts);

// The same pass with no journal and no report, over a file source whose
// rename_file only works out what a rename would do: the plan of a run,
// file by file, in the run's own order.
run_outcomes plan_files(const front_end& parts);

// Ctrl+Z: takes back the newest run not yet undone (run_undo). It asks
// first (Yes/No, with the count and the folder), then renames each file
// back through the run's own folder, and ends as a rename run ends: the file
// list read again when it shows that folder, the result lists, one report
// of what could not be put back. A run that cannot be taken back, or none,
// is said as such, and nothing changes.
run_job undo_job(window_controls& window);
run_outcomes undo_run(window_controls& window);
// The same without a window: the renames back and the report. Nothing
// when there was nothing to undo or the answer was no.
std::optional<run_outcomes> undo_files(run_observer& observer);

// Command2's Click: lists, in Text2 and Text1, the files that pass the
// filters and hold the text of Text3, and changes nothing on disk.
run_job query_job(window_controls& window);
void query_run(window_controls& window);

// Timer1's tick: the bar follows the run. A value the bar refuses (a run
// that met another file count, its folder changed meanwhile) leaves it
// where it is.
void timer_tick(window_controls& window);

} // namespace renamer

#pragma once

// The main window's runs. Each comes in two forms: a job, which a window
// drives step by step from its event loop, and a call that runs every step
// at once.

#include "window_controls.h"

#include "core/report.h"
#include "core/run_job.h"
#include "core/runs.h"

namespace renamer {

// Command1's Click: renames every listed file that passes the filters, then
// lists the renamed folder in Text1 and Text2. A rename that fails leaves
// that file as it was and the run goes on. Every rename is written to the
// run's own journal. When a file was refused, or the
// journal could not be written, the run shows one report at its end.
run_job rename_job(window_controls& window);
run_outcomes rename_run(window_controls& window);

// Ctrl+Z: takes back the newest run not yet undone (run_undo), through the
// window's own file system. It asks first (Yes/No, with the count and the
// folder), then renames each file back through the run's own folder, and
// ends as a rename run ends: the file list read again when it shows that
// folder, the result lists, one report of what could not be put back. A
// run that cannot be taken back, or none, is said as such, and nothing
// changes.
run_job undo_job(window_controls& window);
run_outcomes undo_run(window_controls& window);

// Command2's Click: lists, in Text2 and Text1, the files that pass the
// filters and hold the text of Text3, and changes nothing on disk.
run_job query_job(window_controls& window);
void query_run(window_controls& window);

// Timer1's tick: the bar follows the run. A value the bar refuses (a run
// that met another file count, its folder changed meanwhile) leaves it
// where it is.
void timer_tick(window_controls& window);

} // namespace renamer

#pragma once

#include "window_controls.h"

namespace renamer {

// Command1's Click: renames every listed file that passes the filters, then
// lists the renamed folder in Text1 and Text2. Reports nothing; a rename
// that fails leaves that file as it was and the run goes on.
void rename_run(window_controls& window);

// Command2's Click: lists, in Text2 and Text1, the files that pass the
// filters and hold the text of Text3, and changes nothing on disk.
void query_run(window_controls& window);

// Timer1's tick: the bar follows the run. A value the bar refuses (a second
// run inside a yield may have met another file count) leaves it where it is.
void timer_tick(window_controls& window);

} // namespace renamer

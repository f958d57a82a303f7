#pragma once

// The main window's small handlers: browsing drives, folders and files into
// the two list boxes, carrying a piece of a name into the replacement field,
// keeping the replacement fields and the option buttons apart, the pattern
// rule of Combo1, and the progress timer (timer_tick, with the runs). Each
// runs to its end without yielding.

#include "window_controls.h"

namespace renamer {

// Text1 gets the full path and Text2 the name of every entry of File1,
// without any filter.
void fill_file_lists(window_controls& window);

void drive1_change(window_controls& window);
void dir1_change(window_controls& window);
void file1_click(window_controls& window);

void text2_click(window_controls& window);
// Text3's and Text4's Click: a click into the replacement fields leaves no
// option button selected.
void replacement_click(window_controls& window);
// Check1's, Check2's and Check3's Click, which come before the button's
// Value changes: selecting a rule empties the replacement fields.
void option_click(window_controls& window);

// Combo1's LostFocus. The message box comes first and is answered before
// Check2 and Combo1 change, so a front end that raises LostFocus from inside
// a focus change runs this once the change is over, and before any run.
void combo1_lost_focus(window_controls& window);

inline constexpr const char* pattern_message = "选择框中必须选择有*号的样式或输入带有*号的样式！";
inline constexpr const char* default_pattern = "*.*";

} // namespace renamer

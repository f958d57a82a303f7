#pragma once

// What the program sets up once, before its first window: its name as the
// desktop knows it, the stand-in fonts, its icon, and Qt's own Chinese.

#include <QIcon>

namespace renamer {

void set_up_application();

// The program's icon at 16, 32 and 48 pixels, for the desktop's task bar
// and window switcher.
QIcon program_icon();

} // namespace renamer

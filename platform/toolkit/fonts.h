#pragma once

// The windows name the fonts of the system they were designed on: "宋体"
// for the Chinese interface and "Trebuchet MS" for the frame's caption.
// Where those are missing, the toolkit is told which installed faces stand
// in for them. The application and every test that draws text call this
// once, before the first window is made.

#include <QFont>

namespace platform {

void install_font_substitutes();

// The font that file and folder names, and the texts matched against them,
// are shown in: the interface's Song face for Chinese, but a Latin face
// ahead of it, in which l, 1, I and |, and 0, O and o, are told apart.
QFont names_font(double points = 10.5);

} // namespace platform

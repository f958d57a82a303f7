#pragma once

// The windows name the fonts of the system they were designed on: "宋体"
// for the Chinese interface and "Trebuchet MS" for the frame's caption.
// Where those are missing, the toolkit is told which installed faces stand
// in for them. The application and every test that draws text call this
// once, before the first window is made.

namespace platform {

void install_font_substitutes();

} // namespace platform

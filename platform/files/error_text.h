#pragma once

// The system's refusals in the interface's language: what the window's
// report and the command line say when the kernel refuses a call.

#include <string>

namespace platform {

// The errors a renamer meets in Chinese; the system's own (English) text
// for the rest; nothing for 0.
std::string error_text(int error);

} // namespace platform

#pragma once

// Whether a file descriptor is a terminal, which decides whether a name is
// escaped, whether a progress line is shown and whether a question can be
// asked.

namespace platform {

bool is_terminal(int fd);

} // namespace platform

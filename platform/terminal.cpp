#include "terminal.h"

#include <unistd.h>

namespace platform {

bool is_terminal(int fd)
{
    return ::isatty(fd) == 1;
}

} // namespace platform

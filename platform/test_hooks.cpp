#include "test_hooks.h"

namespace platform {

void reset_test_hooks()
{
    set_end_program_hook({});
}

} // namespace platform

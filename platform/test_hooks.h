#pragma once

// The two places where a test still steers the program from outside: what
// happens inside a run's yield, and the end of the program that a yield may
// bring. Both go once a run no longer yields from inside itself; every other
// double is given to the object that uses it. Each hook is off in the
// program, and reset_test_hooks() turns both off again, which each test
// fixture does after every test so that no test leaks a hook into the next.

#include <functional>

namespace platform {

// Sees or steers what happens inside a yield (for example to start a second
// run there); without it a yield runs the pending events.
void set_yield_hook(std::function<void()> hook);

// Stands in for ending the program, so a caller returns straight after it.
void set_end_program_hook(std::function<void()> hook);

void reset_test_hooks();

} // namespace platform

#pragma once

// The one place where a test still steers the program from outside: the end
// of the program, which a test stands in for so that it goes on after a
// close. Every other double is given to the object that uses it. The hook
// is off in the program, and reset_test_hooks() turns it off again, which
// each test fixture does after every test so that no test leaks a hook into
// the next.

#include <functional>

namespace platform {

// Stands in for ending the program, so a caller returns straight after it.
void set_end_program_hook(std::function<void()> hook);

void reset_test_hooks();

} // namespace platform

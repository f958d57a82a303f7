#pragma once

// Every place where a test steers the platform, in one list: each hook is
// off in the program, and reset_test_hooks() turns them all off again, which
// each test fixture does after every test so that no test leaks a hook into
// the next.

#include <QImage>
#include <QPoint>
#include <QString>
#include <functional>
#include <optional>
#include <string>

namespace platform {

// Sees or steers what happens inside a yield (for example to start a second
// run there); without it a yield runs the pending events.
void set_yield_hook(std::function<void()> hook);

// Stands in for ending the program, so a caller returns straight after it.
void set_end_program_hook(std::function<void()> hook);

void reset_test_hooks();

} // namespace platform

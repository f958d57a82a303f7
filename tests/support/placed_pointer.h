#pragma once

// A pointer that a test places where it wants, whatever the system's says.
// A placed pointer is over the program's windows, wherever it is; one the
// test has not placed is the system's.

#include "platform/toolkit/pointer.h"

#include <optional>

namespace fixture {

class placed_pointer final : public platform::pointer_source {
public:
    std::optional<QPoint> at;

    QPoint position() const override { return at ? *at : platform::cursor_pos(); }
    bool in_program() const override { return at.has_value() || platform::pointer_in_program(); }
};

} // namespace fixture

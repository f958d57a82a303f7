#pragma once

// The toolkit's mouse and key reports in the terms the controls' events use.

#include <Qt>
#include <cstdint>

namespace controls {

// Button bits: 1 left, 2 right, 4 middle.
std::int16_t button_bits(Qt::MouseButtons buttons);
// Shift bits: 1 shift, 2 control, 4 alt.
std::int16_t shift_bits(Qt::KeyboardModifiers modifiers);
// The virtual-key code of a key ("A" is 65, the left arrow 37, F1 112); 0
// for a key that has none.
std::int16_t key_code(int qt_key);

} // namespace controls

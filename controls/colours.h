#pragma once

// Colours as the controls store them: 0x00BBGGRR, red in the low byte; a
// value with the top bit set, 0x80000000 + n, names system colour n.

#include <QColor>
#include <cstdint>

namespace controls {

using ole_color = std::uint32_t;

constexpr ole_color rgb(int r, int g, int b)
{
    return static_cast<ole_color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}

constexpr ole_color system_colour(int n)
{
    return 0x80000000u + static_cast<ole_color>(n);
}

// The face colour of three-dimensional elements, the usual back colour.
constexpr ole_color button_face = system_colour(15);
// The caption colour of every disabled control of the library.
constexpr ole_color disabled_caption = rgb(161, 161, 146);

// The colour to paint. System colours take the XP look's values, whatever
// the desktop's theme, so the skinned windows look the same everywhere; an
// unknown system colour number gives black.
QColor to_qcolor(ole_color colour);

} // namespace controls

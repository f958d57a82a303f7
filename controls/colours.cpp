#include "colours.h"

#include <array>

namespace controls {

namespace {

// The XP (Luna, blue) values of the system colours 0 to 30.
constexpr std::array<ole_color, 31> xp_system_colours = {
    rgb(212, 208, 200), // 0 scroll bar
    rgb(0, 78, 152),    // 1 desktop
    rgb(0, 84, 227),    // 2 active caption
    rgb(122, 150, 223), // 3 inactive caption
    rgb(255, 255, 255), // 4 menu
    rgb(255, 255, 255), // 5 window
    rgb(0, 0, 0),       // 6 window frame
    rgb(0, 0, 0),       // 7 menu text
    rgb(0, 0, 0),       // 8 window text
    rgb(255, 255, 255), // 9 caption text
    rgb(212, 208, 200), // 10 active border
    rgb(212, 208, 200), // 11 inactive border
    rgb(128, 128, 128), // 12 application workspace
    rgb(49, 106, 197),  // 13 highlight
    rgb(255, 255, 255), // 14 highlighted text
    rgb(236, 233, 216), // 15 button face
    rgb(172, 168, 153), // 16 button shadow
    rgb(172, 168, 153), // 17 grey text
    rgb(0, 0, 0),       // 18 button text
    rgb(216, 228, 248), // 19 inactive caption text
    rgb(255, 255, 255), // 20 button highlight
    rgb(113, 111, 100), // 21 dark shadow
    rgb(241, 239, 226), // 22 light
    rgb(0, 0, 0),       // 23 tooltip text
    rgb(255, 255, 225), // 24 tooltip back
    rgb(0, 0, 0),       // 25 unused
    rgb(0, 0, 128),     // 26 hot-tracking
    rgb(61, 149, 255),  // 27 gradient active caption
    rgb(157, 185, 235), // 28 gradient inactive caption
    rgb(49, 106, 197),  // 29 menu highlight
    rgb(236, 233, 216), // 30 menu bar
};

} // namespace

QColor to_qcolor(ole_color colour)
{
    if (colour & 0x80000000u) {
        const ole_color n = colour & 0x7FFFFFFFu;
        colour = n < xp_system_colours.size() ? xp_system_colours[n] : 0;
    }
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}

} // namespace controls

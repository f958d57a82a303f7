#pragma once

// The window frame's geometry, apart from any widget: where the strips and
// grips lie for a given size, how the title picture is cut into three pieces,
// which pointer each edge shows, and how a border drag changes the window.
// Everything here is in pixels except the window geometry of a resize, which
// is kept in twips as the windows are.

#include "controls/geometry.h"

#include <QRect>
#include <QSize>
#include <array>
#include <optional>

namespace frame {

inline constexpr int title_height = 29;
inline constexpr int border_width = 5;
inline constexpr int grip_size = 9;
// The title's two corners are never stretched, so the curve keeps its shape.
inline constexpr int title_corner_width = 5;

// The host's window state, with the numbers the frame's callers use.
enum window_state : int { state_normal = 0, state_minimised = 1, state_maximised = 2 };

struct strip_layout {
    QRect pictop;
    QRect picbottom;
    QRect picleft;
    QRect picright;
    QRect body;
};

// The strips for a frame of the given size, in the frame's own pixels.
strip_layout frame_strips(QSize frame_size);

using controls::slice_piece;

// The whole picture onto the whole strip, each axis scaled on its own.
slice_piece whole_piece(QSize picture, QSize strip);

// The title bar's left corner, middle and right corner. On a strip too
// narrow for a middle, the middle has no width and paints nothing, and the
// two corners simply overlap.
std::array<slice_piece, 3> title_pieces(QSize picture, QSize strip);

// The two corners alone, which carry the curve of the title.
std::array<slice_piece, 2> title_corner_pieces(QSize picture, QSize strip);

// Edge codes: which side or corner a border or grip drags.
enum edge_code : int {
    edge_left = 0,
    edge_right = 1,
    edge_top = 2,
    edge_bottom = 3,
    edge_bottom_right = 4,
    edge_bottom_left = 5,
    edge_top_right = 6,
    edge_top_left = 7,
};

// The five grips, by edge code, in the order they are built.
inline constexpr std::array<int, 5> grip_codes{edge_top_left, edge_top, edge_top_right, edge_bottom_left,
                                               edge_bottom_right};

// Whether a grip sits in the bottom strip rather than in the title bar.
bool grip_in_bottom_strip(int code);

// A grip's rectangle inside its strip. The top-right grip follows the host's
// client width rather than the title's, and the bottom-right grip reaches
// four rows above the bottom strip, so only its lower five rows can be hit.
QRect grip_rect(int code, QSize pictop, QSize picbottom, int host_client_width);

// Pointer shapes by the platform's standard numbers.
enum pointer_shape : int {
    pointer_default = 0,
    pointer_size_nesw = 6,
    pointer_size_ns = 7,
    pointer_size_nwse = 8,
    pointer_size_we = 9,
};

// The pointer an edge element shows, by its edge code. Nothing while the host
// is minimised: the pointers stay as they were.
std::optional<int> edge_pointer(int code, bool fixed_single, int host_state);

// A window's position and size in twips, as single-precision numbers.
struct twips_geometry {
    float left = 0;
    float top = 0;
    float width = 0;
    float height = 0;
    friend bool operator==(const twips_geometry&, const twips_geometry&) = default;
};

// The geometry after dragging an edge from `start` to `end` (screen pixels):
// the dragged edge follows the pointer, the opposite one stays. Nothing for a
// code that names no edge.
std::optional<twips_geometry> resized_geometry(const twips_geometry& geometry, QPoint start, QPoint end,
                                               int code, double twips_per_pixel_x, double twips_per_pixel_y);

} // namespace frame

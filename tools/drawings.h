#pragma once

// Every picture of the art, drawn at the size and in the cell order that its
// control cuts it with. Each returns the picture as drawn, in 32-bit ARGB;
// art.cpp decides how each one is stored.

#include "raster.h"

namespace art {

// The push button: 90 x 21, five 18 x 21 cells: normal, pressed, disabled,
// hover, emphasised. Everything that changes along an edge lies in its
// outer 3 pixels, so nine-slice stretching keeps it.
canvas push_button_strip();

// The caption help button: 63 x 21, cells normal, hover, pressed; a white
// question mark on a blue square.
canvas help_strip();

// The caption buttons: 84 x 21 each, cells normal, hover, pressed, disabled.
enum class caption_kind { close, maximize, minimize, restore };
canvas caption_strip(caption_kind kind);

// The check box: 16 x 192, twelve 16 x 16 cells, cell = 4 x value + state;
// no pixel is transparent.
canvas check_box_strip();

// The option button: one 13 x 13 cell, cell = 4 x selected + state, with
// transparent corners.
canvas option_cell(int cell);

// The group box's frame, 22 x 20, sliced into corners and edges.
canvas group_box();

// The window frame's pictures, in the active or the inactive look.
enum class frame_look { active, inactive };
canvas title(frame_look look, bool maximised); // 66 x 29
canvas left_border(frame_look look);           // 5 x 31
canvas right_border(frame_look look);          // 5 x 31
canvas bottom_border(frame_look look);         // 49 x 5

// The frame's default icon, 16 x 16.
canvas frame_icon();
// The main window's icon, 32 x 32: the program's icon at that size.
canvas main_icon();
// The program's icon at `size` x `size` pixels (16, 32 or 48).
canvas app_icon(int size);

} // namespace art

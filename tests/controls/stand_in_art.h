#pragma once

// Pictures drawn in code in place of the controls' art, one colour per cell,
// so that a pixel of a grabbed control tells which cell it shows.

#include <QImage>

namespace stand_in {

// Puts the stand-ins in place of "cmdbutton", "checkbox" and "option_0" to
// "option_7".
void install();

// Push-button strip: the red channel tells the cell, the blue channel which
// of the nine pieces of the cell (1 to 9, in the painting order) a pixel
// comes from.
int button_cell(QRgb pixel);
int button_piece(QRgb pixel);

// Check-box cells and option pictures: the red channel tells the cell.
int indicator_cell(QRgb pixel);

} // namespace stand_in

#pragma once

// The arithmetic behind the faces, kept free of widgets so that it can be
// checked on its own: where a cell sits in its strip, how a face is cut into
// pieces and stretched, and the integer conversions the layouts depend on.

#include <QImage>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <cstdint>
#include <span>

namespace controls {

// Cell `index` of a picture cut into rows x columns equal cells, numbered
// across a row first. An empty rectangle for an index outside the strip.
QRect cell_rect(QSize picture, int rows, int columns, int index);

// One piece of a sliced face: the source rectangle of the cell picture is
// stretched onto the destination rectangle of the surface.
struct slice_piece {
    QRectF destination;
    QRectF source;
    friend bool operator==(const slice_piece&, const slice_piece&) = default;
};

// Draws the pieces in order onto the target. A piece with no width or no
// height draws nothing; stretching is nearest-pixel, like the platform's
// stretching copy, so that borders keep their exact colours.
void paint_pieces(QImage& target, const QImage& source, std::span<const slice_piece> pieces);

// Nearest integer, a tie going to the even neighbour (banker's rounding, as
// the platform converts floating values to integers).
double round_half_even(double value);

// The same, into a 16-bit integer. Values beyond its range saturate rather
// than fail, so a huge control still paints.
std::int16_t to_int16_half_even(double value);

// Half of a difference d in twips, as the option button and the check box
// centre their children: d is first brought to a whole number (ties to
// even), then halved with the remainder dropped towards zero.
int half_of(double difference);

} // namespace controls

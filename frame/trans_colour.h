#pragma once

// Cutting a colour out of a window's shape. The title art marks the pixels
// outside its curved top corners with a key colour; removing exactly those
// pixels from the window makes the corners look round. Only the top six rows
// are examined: the curve is no deeper, and scanning a whole window would
// cost far more than the handful of corner pixels are worth.

#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QSize>
#include <cstdint>
#include <vector>

class QWidget;

namespace frame {

// A colour packed as 0x00BBGGRR, red in the low byte, the way the program
// writes every colour; the key is compared in this form, exactly.
using packed_colour = std::uint32_t;

inline constexpr packed_colour key_colour = 0x00FF00FF;  // RGB(255, 0, 255)
inline constexpr int key_scan_rows = 6;

packed_colour pack_colour(QRgb rgb);

// The packed colour of one pixel of the surface. A point off the surface
// gives a value no colour can have, so it never matches a key.
packed_colour surface_pixel(const QImage& surface, int x, int y);

// The pixels of a client area of `client` size, backed by `surface`, that
// hold exactly the key colour, row by row from the top, left to right.
std::vector<QPoint> key_pixels(const QImage& surface, QSize client, packed_colour key);

// The client rectangle without those pixels, in window coordinates.
QRegion key_region(const QImage& surface, QSize client, packed_colour key);

// Gives the window the shape of its client area less the key-coloured pixels
// of the surface. Every call starts again from the full rectangle, so a later
// call replaces an earlier shape rather than cutting into it.
void apply_key_region(QWidget* window, const QImage& surface, packed_colour key);

} // namespace frame

#pragma once

// The few drawing helpers that every picture of the art is made with: colour
// mixing, gradients ("paints"), anti-aliased shapes, and pixel-art glyphs.
// Everything is computed pixel by pixel with fixed sampling, so the same
// program always draws the same bytes.

#include <QImage>
#include <QPoint>
#include <QRect>
#include <QRectF>

#include <functional>
#include <initializer_list>
#include <utility>
#include <vector>

namespace art {

// ---- Colours: QRgb, 0xAARRGGBB, never premultiplied. ----

constexpr QRgb rgb(int r, int g, int b) { return 0xff000000u | (unsigned(r) << 16) | (unsigned(g) << 8) | unsigned(b); }
constexpr QRgb transparent = 0x00000000u;
constexpr QRgb white = rgb(255, 255, 255);
constexpr QRgb black = rgb(0, 0, 0);

// The colour t of the way from a to b (t = 0 gives a, 1 gives b), every
// channel, alpha included, rounded to the nearest step.
QRgb mix(QRgb a, QRgb b, double t);
inline QRgb lighter(QRgb c, double t) { return mix(c, white | (c & 0xff000000u), t); }
inline QRgb darker(QRgb c, double t) { return mix(c, black | (c & 0xff000000u), t); }
// The same colour with another alpha.
constexpr QRgb with_alpha(QRgb c, int alpha) { return (c & 0x00ffffffu) | (unsigned(alpha) << 24); }

// ---- Paints: the colour of pixel (x, y). ----

using paint_fn = std::function<QRgb(int x, int y)>;

paint_fn solid(QRgb colour);

// A colour stop of a gradient: position (in pixels, along the gradient's
// axis) and colour. Between stops the colour is mixed linearly; before the
// first and after the last stop it stays that stop's colour.
struct colour_stop {
    double at;
    QRgb colour;
};
QRgb along(const std::vector<colour_stop>& stops, double position);

// Colour by row: stops at row numbers (row y has position y).
paint_fn vertical(std::vector<colour_stop> stops);
// Colour by column.
paint_fn horizontal(std::vector<colour_stop> stops);
// Colour along the diagonal of a rectangle: its top-left pixel has `from`,
// its bottom-right pixel `to`, and pixels with the same x + y the same colour.
paint_fn diagonal(const QRect& area, QRgb from, QRgb to);
// Colour by distance of the pixel centre from a point: `inner` at the point,
// `outer` at `radius` and beyond.
paint_fn radial(QPointF centre, double radius, QRgb inner, QRgb outer);

// ---- Shapes: whether a point (in pixel units; pixel (x, y) spans x..x+1). ----

using shape_fn = std::function<bool(double x, double y)>;

// A rectangle whose corners are quarter circles of the given radius.
shape_fn rounded_rect(const QRectF& r, double radius);
shape_fn ellipse(const QRectF& r);
// A polygon, its corners in order (either way round).
shape_fn polygon(std::vector<QPointF> corners);
// Points in a but not in b.
shape_fn minus(shape_fn a, shape_fn b);

// ---- Pixel-art glyphs: rows of characters, one per pixel. ----

// The paint each character stands for; characters not listed are left
// untouched (by convention '.').
using ink_list = std::vector<std::pair<char, paint_fn>>;
using glyph_rows = std::vector<const char*>;

// ---- The canvas. ----

class canvas {
public:
    canvas(int width, int height, QRgb fill = transparent);

    int width() const { return m_image.width(); }
    int height() const { return m_image.height(); }
    QRect rect() const { return m_image.rect(); }
    const QImage& image() const { return m_image; }

    QRgb pixel(int x, int y) const;
    // Sets a pixel to exactly this colour (pixels outside are ignored).
    void set(int x, int y, QRgb colour);
    // Lays a colour over a pixel with the given coverage (0..1), "source over".
    void blend(int x, int y, QRgb colour, double coverage = 1.0);

    // Sets every pixel of the area to exactly the colour of the paint.
    void fill(const QRect& area, const paint_fn& paint);
    void fill(const QRect& area, QRgb colour) { fill(area, solid(colour)); }
    // Lays the paint over the part of the area that the shape covers,
    // anti-aliased: each pixel's coverage is counted on a 4 x 4 grid of
    // sample points.
    void fill(const shape_fn& shape, const paint_fn& paint, const QRect& area);
    void fill(const shape_fn& shape, QRgb colour, const QRect& area) { fill(shape, solid(colour), area); }
    // A box with round corners: a one-pixel border of the given colour
    // around a face of the given paint, both anti-aliased at the corners.
    void rounded_box(const QRectF& outer, double radius, QRgb border, const paint_fn& face);
    // One-pixel outlines: the top row, the left column, and so on.
    void hline(int x0, int x1, int y, QRgb colour);
    void vline(int x, int y0, int y1, QRgb colour);

    // Draws a pixel-art glyph with its top-left corner at (x, y): each
    // character with an ink is laid over the canvas in the colour of that
    // ink's paint at that pixel.
    void stamp(const glyph_rows& rows, int x, int y, const ink_list& inks);
    void stamp(const glyph_rows& rows, int x, int y, QRgb colour) { stamp(rows, x, y, {{'#', solid(colour)}}); }

    // Copies another canvas's pixels (unblended) to (x, y).
    void copy(const canvas& from, int x, int y);

private:
    QImage m_image;
};

// Cells laid side by side (across) or one under the other (down): the strip
// that a sprite cutter cuts back into the same cells.
canvas join_across(const std::vector<canvas>& cells);
canvas join_down(const std::vector<canvas>& cells);

} // namespace art

// The window frame's pictures and the group-box frame.
//
// The frame paints its pictures stretched: the title's 56 middle columns to
// the window's width, the side borders to its height, the bottom border to
// its width. So each stretched direction is uniform: the title's middle
// columns are all alike, the side borders' rows are all alike, the bottom
// border's columns are all alike. Only the title's 5-pixel corners, copied
// unscaled, carry the curve.

#include "drawings.h"

#include <array>

namespace art {

namespace {

constexpr QRgb key = rgb(255, 0, 255);

// How far the key colour reaches into rows 0 to 4 of a normal title, from
// each side edge: the window region cuts exactly these pixels away, which
// rounds the window's top corners.
constexpr std::array<int, 5> corner_insets = {5, 3, 2, 1, 1};

// The colours of one look: the outermost line of the window, the light line
// just inside it on the top and the left, the border's body, the darker
// line next to the client area and on the outer right and bottom, and the
// title's rows from top to bottom.
struct frame_palette {
    QRgb outline;
    QRgb highlight;
    QRgb body;
    QRgb shade;
    QRgb inner;
    QRgb outer_shadow;
    std::vector<colour_stop> title_rows;
};

frame_palette palette(frame_look look)
{
    if (look == frame_look::active) {
        return {rgb(0, 51, 196),
                rgb(30, 113, 245),
                rgb(0, 84, 227),
                rgb(0, 74, 215),
                rgb(0, 67, 207),
                rgb(0, 43, 182),
                {{0, rgb(0, 58, 212)},
                 {1, rgb(70, 155, 255)},
                 {2, rgb(48, 138, 255)},
                 {4, rgb(12, 106, 248)},
                 {6, rgb(0, 91, 238)},
                 {9, rgb(0, 85, 229)},
                 {14, rgb(0, 82, 224)},
                 {19, rgb(0, 81, 222)},
                 {24, rgb(0, 89, 236)},
                 {25, rgb(0, 90, 238)},
                 {26, rgb(0, 86, 233)},
                 {27, rgb(0, 77, 219)},
                 {28, rgb(0, 67, 207)}}};
    }
    return {rgb(109, 134, 216),
            rgb(158, 182, 236),
            rgb(122, 150, 223),
            rgb(115, 141, 217),
            rgb(112, 136, 212),
            rgb(103, 127, 208),
            {{0, rgb(113, 139, 219)},
             {1, rgb(172, 194, 241)},
             {2, rgb(160, 184, 238)},
             {4, rgb(141, 168, 232)},
             {6, rgb(128, 156, 226)},
             {9, rgb(123, 151, 224)},
             {14, rgb(121, 149, 222)},
             {19, rgb(121, 148, 222)},
             {24, rgb(128, 157, 230)},
             {25, rgb(129, 159, 232)},
             {26, rgb(126, 154, 228)},
             {27, rgb(119, 145, 219)},
             {28, rgb(112, 136, 212)}}};
}

// The five lines of a border, from the client area out. Light falls from
// the top left: the left border has a light line inside its outline, the
// right and the bottom ones a shade.
using Lines = std::array<QRgb, 5>;
Lines lit_side(const frame_palette& p) { return {p.inner, p.body, p.body, p.highlight, p.outline}; }
Lines shaded_side(const frame_palette& p) { return {p.inner, p.body, p.body, p.shade, p.outer_shadow}; }

} // namespace

canvas title(frame_look look, bool maximised)
{
    const frame_palette p = palette(look);
    constexpr int width = 66, height = 29;
    canvas c(width, height);
    c.fill(c.rect(), vertical(p.title_rows));

    // The window's outline down both sides, with the light line inside it on
    // the left and a shaded one on the right, as on the side borders.
    for (int y = 0; y < height; ++y) {
        const QRgb row = c.pixel(width / 2, y);
        c.set(0, y, p.outline);
        c.set(1, y, mix(row, p.highlight, 0.6));
        c.set(width - 1, y, p.outer_shadow);
        c.set(width - 2, y, mix(row, p.outer_shadow, 0.25));
    }
    if (maximised)
        return c;

    // The curved corners. Row y is key-coloured up to corner_insets[y]; the
    // outline runs from there to where the row above begins, so the curve
    // has no gap, and the light line follows one pixel inside it. Row 0 is
    // the top outline itself and row 1 the top light line, and from row 5
    // down the sides are straight.
    for (int y = 0; y <= int(corner_insets.size()); ++y) {
        const int inset = y < int(corner_insets.size()) ? corner_insets[y] : 0;
        for (int x = 0; x < inset; ++x) {
            c.set(x, y, key);
            c.set(width - 1 - x, y, key);
        }
        if (y == 0)
            continue;
        const int curve_end = std::max(inset + 1, corner_insets[y - 1]);
        for (int x = inset; x < curve_end; ++x) {
            c.set(x, y, p.outline);
            c.set(width - 1 - x, y, p.outer_shadow);
        }
        if (y > 1) {
            const QRgb row = c.pixel(width / 2, y);
            c.set(curve_end, y, mix(row, p.highlight, 0.6));
            c.set(width - 1 - curve_end, y, mix(row, p.outer_shadow, 0.25));
        }
    }
    return c;
}

canvas left_border(frame_look look)
{
    const Lines lines = lit_side(palette(look));
    canvas c(5, 31);
    for (int i = 0; i < 5; ++i)
        c.vline(4 - i, 0, 30, lines[i]);
    return c;
}

canvas right_border(frame_look look)
{
    const Lines lines = shaded_side(palette(look));
    canvas c(5, 31);
    for (int i = 0; i < 5; ++i)
        c.vline(i, 0, 30, lines[i]);
    return c;
}

canvas bottom_border(frame_look look)
{
    const Lines lines = shaded_side(palette(look));
    canvas c(49, 5);
    for (int i = 0; i < 5; ++i)
        c.hline(0, 48, i, lines[i]);
    return c;
}

canvas group_box()
{
    constexpr QRgb line = rgb(208, 208, 191);
    constexpr QRgb smooth = rgb(211, 211, 197);
    constexpr int width = 22, height = 20;
    canvas c(width, height);
    // The straight lines, between the 3 x 3 corners.
    c.hline(3, width - 4, 0, line);
    c.hline(3, width - 4, height - 1, line);
    c.vline(0, 3, height - 4, line);
    c.vline(width - 1, 3, height - 4, line);
    // The corners, each a curve across its 3 x 3 square.
    const glyph_rows top_left = {"..#", ".#.", "#.."};
    const glyph_rows top_right = {"#..", "+#.", ".+#"};
    const glyph_rows bottom_right = {".+#", "+#.", "#.."};
    const glyph_rows bottom_left = {"#..", ".#.", "..#"};
    const ink_list inks = {{'#', solid(line)}, {'+', solid(smooth)}};
    c.stamp(top_left, 0, 0, inks);
    c.stamp(top_right, width - 3, 0, inks);
    c.stamp(bottom_right, width - 3, height - 3, inks);
    c.stamp(bottom_left, 0, height - 3, inks);
    return c;
}

} // namespace art

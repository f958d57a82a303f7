// The check box and the option button. Their colours are fixed by the
// controls' design; the marks (tick, square, dot) are pixel art in one flat
// colour, so every pixel of a mark has exactly that colour.

#include "drawings.h"

namespace art {

namespace {

enum State { normal = 0, hover = 1, pressed = 2, disabled = 3 };

// ---- Check box ----

namespace box {
constexpr QRgb border = rgb(31, 80, 128);
constexpr QRgb fill_from = rgb(223, 223, 208);
constexpr QRgb fill_to = white;
constexpr QRgb pressed_from = rgb(191, 191, 175);
constexpr QRgb pressed_to = rgb(241, 240, 233);
constexpr QRgb ring_from = rgb(255, 223, 159);
constexpr QRgb ring_to = rgb(255, 191, 64);
constexpr QRgb tick = rgb(32, 160, 32);
constexpr QRgb tick_pressed = rgb(31, 127, 31);
constexpr QRgb mixed_normal = rgb(160, 208, 159);
constexpr QRgb grey = rgb(207, 207, 191); // the disabled border and mark
} // namespace box

// The tick of the ticked cells, 8 x 8, three pixels tall along its strokes.
const glyph_rows tick_glyph = {
    ".......#",
    "......##",
    ".....###",
    "#...###.",
    "##.###..",
    "#####...",
    ".###....",
    "..#.....",
};

canvas check_box_cell(int value, State state)
{
    constexpr int size = 16;
    canvas c(size, size, white);
    const QRect inside(1, 1, size - 2, size - 2);
    const QRect mark(4, 4, 8, 8);

    if (state == disabled) {
        c.fill(c.rect(), box::grey);
        c.fill(inside, white);
    } else {
        c.fill(c.rect(), box::border);
        if (state == pressed)
            c.fill(inside, diagonal(inside, box::pressed_from, box::pressed_to));
        else
            c.fill(inside, diagonal(inside, box::fill_from, box::fill_to));
        if (state == hover) {
            // The orange ring: the two outer rows and columns of the inside.
            const paint_fn ring = diagonal(inside, box::ring_from, box::ring_to);
            c.fill(QRect(1, 1, 14, 2), ring);
            c.fill(QRect(1, 13, 14, 2), ring);
            c.fill(QRect(1, 3, 2, 10), ring);
            c.fill(QRect(13, 3, 2, 10), ring);
        }
    }

    const QRgb mark_colour = state == disabled ? box::grey : state == pressed ? box::tick_pressed : box::tick;
    if (value == 1) {
        c.stamp(tick_glyph, mark.x(), mark.y(), mark_colour);
    } else if (value == 2) {
        const QRgb square = state == disabled ? box::grey
                            : state == normal ? box::mixed_normal
                            : state == hover  ? box::tick
                                              : box::tick_pressed;
        c.fill(mark, square);
    }
    return c;
}

// ---- Option button ----

namespace option {
constexpr QRgb ring = rgb(28, 81, 128);
constexpr QRgb fill_from = rgb(220, 220, 211);
constexpr QRgb fill_to = white;
constexpr QRgb pressed_from = rgb(176, 176, 166);
constexpr QRgb pressed_to = rgb(231, 230, 223);
constexpr QRgb hover_from = rgb(244, 212, 140);
constexpr QRgb hover_to = rgb(253, 214, 132);
constexpr QRgb dot = rgb(56, 185, 53);
constexpr QRgb disabled_ring = rgb(202, 200, 187);
constexpr QRgb disabled_dot = rgb(192, 191, 181);
} // namespace option

// The circle: '#' the ring, 'a' the ring half-covering a pixel outside it,
// 'b' the ring half-covering a pixel of the fill, 'f' the fill.
const glyph_rows circle_glyph = {
    "...a#####a...",
    ".a##fffff##a.",
    ".#bfffffffb#.",
    "a#fffffffff#a",
    "#fffffffffff#",
    "#fffffffffff#",
    "#fffffffffff#",
    "#fffffffffff#",
    "#fffffffffff#",
    "a#fffffffff#a",
    ".#bfffffffb#.",
    ".a##fffff##a.",
    "...a#####a...",
};

// The dot of the selected cells, 5 x 5; its corners ('+') are half-covered.
const glyph_rows dot_glyph = {
    "+###+",
    "#####",
    "#####",
    "#####",
    "+###+",
};

canvas option_cell_drawn(bool selected, State state)
{
    constexpr int size = 13;
    canvas c(size, size);
    // The gradients run from the top-left to the bottom-right of the part of
    // the circle that shows them whole.
    const QRect inside(2, 2, size - 5, size - 5);
    const QRgb ring = state == disabled ? option::disabled_ring : option::ring;

    paint_fn fill = state == disabled  ? solid(white)
                 : state == pressed ? diagonal(inside, option::pressed_from, option::pressed_to)
                                    : diagonal(inside, option::fill_from, option::fill_to);
    if (state == hover) {
        // The orange ring: the fill's pixels more than 3.5 pixels from the
        // centre, a band two pixels wide inside the ring, top to bottom.
        const paint_fn orange = vertical({{1, option::hover_from}, {11, option::hover_to}});
        fill = [fill, orange](int x, int y) {
            const double dx = x + 0.5 - 6.5, dy = y + 0.5 - 6.5;
            return dx * dx + dy * dy > 3.5 * 3.5 ? orange(x, y) : fill(x, y);
        };
    }
    c.stamp(circle_glyph, 0, 0,
            {{'#', solid(ring)},
             {'a', solid(with_alpha(ring, 112))},
             {'b', [ring, fill](int x, int y) { return mix(ring, fill(x, y), 0.5); }},
             {'f', fill}});
    if (selected) {
        const QRgb dot = state == disabled ? option::disabled_dot : option::dot;
        c.stamp(dot_glyph, 4, 4, {{'#', solid(dot)}, {'+', solid(with_alpha(dot, 128))}});
    }
    return c;
}

} // namespace

canvas check_box_strip()
{
    std::vector<canvas> cells;
    for (int cell = 0; cell < 12; ++cell)
        cells.push_back(check_box_cell(cell / 4, State(cell % 4)));
    return join_down(cells);
}

canvas option_cell(int cell)
{
    return option_cell_drawn(cell / 4 == 1, State(cell % 4));
}

} // namespace art

// The push button, the caption buttons and the caption help button, in the
// Luna look: push buttons are off-white with a rounded dark-blue border;
// caption buttons are small glossy squares with a white rim and a white
// glyph, red-orange for close and blue for the rest.

#include "drawings.h"

namespace art {

namespace {

// ---- Push button ----

enum class push_face { normal, pressed, disabled, hover, emphasised };

constexpr int button_width = 18;
constexpr int button_height = 21;

// The face of the button inside its border, row by row: white at the top,
// a soft beige towards the bottom, and two shadow rows at the bottom that
// sit in the bottom slice (rows 18 to 20), so that they keep their size.
paint_fn button_fill(push_face face)
{
    switch (face) {
    case push_face::pressed:
        // Sunk: a shadow under the top border, lightening downwards.
        return vertical({{1, rgb(205, 202, 189)}, {2, rgb(218, 215, 205)}, {3, rgb(226, 224, 216)},
                         {17, rgb(238, 237, 232)}, {19, rgb(243, 242, 238)}});
    case push_face::disabled:
        return solid(rgb(245, 244, 234));
    default:
        return vertical({{1, white}, {3, rgb(253, 253, 252)}, {17, rgb(236, 235, 230)},
                         {18, rgb(226, 223, 214)}, {19, rgb(214, 208, 197)}});
    }
}

// The two-pixel rim inside the border of the hover and emphasised faces,
// lighter at the top than at the bottom.
std::vector<colour_stop> rim_colours(push_face face)
{
    if (face == push_face::hover)
        return {{1, rgb(255, 240, 207)}, {2, rgb(253, 216, 137)}, {18, rgb(248, 179, 48)}, {19, rgb(229, 151, 0)}};
    return {{1, rgb(206, 231, 255)}, {2, rgb(188, 212, 246)}, {18, rgb(137, 173, 228)}, {19, rgb(105, 130, 238)}};
}

canvas push_button_cell(push_face face)
{
    canvas c(button_width, button_height);
    const QRectF outer(0, 0, button_width, button_height);
    const QRectF inner = outer.adjusted(1, 1, -1, -1);
    const QRgb border = face == push_face::disabled ? rgb(201, 199, 186) : rgb(0, 60, 116);

    c.rounded_box(outer, 3, border, button_fill(face));
    if (face == push_face::normal || face == push_face::hover || face == push_face::emphasised) {
        // A touch of shade down the right side, as on a raised surface.
        for (int y = 2; y < button_height - 2; ++y)
            c.set(button_width - 2, y, mix(c.pixel(button_width - 2, y), rgb(214, 208, 197), 0.35));
    }
    if (face == push_face::hover || face == push_face::emphasised) {
        const shape_fn rim = minus(rounded_rect(inner, 2), rounded_rect(inner.adjusted(2, 2, -2, -2), 0));
        c.fill(rim, vertical(rim_colours(face)), c.rect());
    }
    return c;
}

// ---- Caption buttons ----

enum class caption_tint { red, blue };
enum class press_state { normal, hover, pressed, disabled };

struct caption_palette {
    QRgb deep;   // the face at its top-left
    QRgb glow;   // the face at its bottom-right
    QRgb rim;    // the outer rim
    QRgb glyph;
};

caption_palette caption_colours(caption_tint tint, press_state press)
{
    // Hover is brighter, pressed darker with a faded glyph, disabled pale.
    const bool red = tint == caption_tint::red;
    switch (press) {
    case press_state::hover:
        return red ? caption_palette{rgb(232, 96, 58), rgb(255, 180, 146), white, white}
                   : caption_palette{rgb(50, 116, 248), rgb(156, 194, 255), white, white};
    case press_state::pressed:
        return red ? caption_palette{rgb(158, 40, 14), rgb(198, 86, 52), rgb(236, 236, 236), rgb(232, 186, 172)}
                   : caption_palette{rgb(10, 54, 170), rgb(58, 106, 216), rgb(236, 236, 236), rgb(176, 196, 238)};
    case press_state::disabled:
        return red ? caption_palette{rgb(226, 164, 146), rgb(242, 200, 186), with_alpha(white, 170), rgb(250, 232, 226)}
                   : caption_palette{rgb(146, 174, 236), rgb(186, 208, 248), with_alpha(white, 170), rgb(226, 234, 252)};
    case press_state::normal:
        break;
    }
    return red ? caption_palette{rgb(206, 68, 34), rgb(242, 146, 112), white, white}
               : caption_palette{rgb(22, 84, 222), rgb(112, 158, 250), white, white};
}

constexpr int caption_size = 21;

// The square of a caption button: a white rim with round corners around a
// face that glows from the bottom-right, with a faint gloss along its top.
canvas caption_face(caption_tint tint, press_state press)
{
    const caption_palette colours = caption_colours(tint, press);
    canvas c(caption_size, caption_size);
    const QRectF outer(0, 0, caption_size, caption_size);
    const QRectF inner = outer.adjusted(1, 1, -1, -1);
    c.rounded_box(outer, 3, colours.rim, radial(QPointF(16, 16), 20, colours.glow, colours.deep));
    // A lighter band along the top and a darker one along the bottom-right,
    // inside the rim, to round the face off.
    c.fill(minus(rounded_rect(inner, 2), rounded_rect(inner.adjusted(1, 1, -1, -1), 1.5)),
           vertical({{1, with_alpha(white, 70)}, {10, with_alpha(white, 0)}, {11, with_alpha(black, 0)},
                     {19, with_alpha(black, 40)}}),
           c.rect());
    return c;
}

// The glyphs, white pixel art centred on the 21 x 21 square.
const glyph_rows cross = {
    "##....##",
    "###..###",
    ".######.",
    "..####..",
    "..####..",
    ".######.",
    "###..###",
    "##....##",
};
const glyph_rows window_outline = {
    "#########",
    "#########",
    "#.......#",
    "#.......#",
    "#.......#",
    "#.......#",
    "#.......#",
    "#.......#",
    "#########",
};
const glyph_rows bar = {
    "######",
    "######",
    "######",
};
const glyph_rows two_windows = {
    "...######",
    "...######",
    "...#....#",
    "#######.#",
    "#######.#",
    "#.....###",
    "#.....#",
    "#.....#",
    "#######",
};
const glyph_rows question_mark = {
    ".#####.",
    "##...##",
    "##...##",
    "....##.",
    "...##..",
    "...##..",
    ".......",
    "...##..",
    "...##..",
};

struct placed_glyph {
    const glyph_rows* glyph;
    int x;
    int y;
};

placed_glyph glyph_of(caption_kind kind)
{
    switch (kind) {
    case caption_kind::close:
        return {&cross, 6, 6};
    case caption_kind::maximize:
        return {&window_outline, 6, 6};
    case caption_kind::minimize:
        return {&bar, 6, 12};
    case caption_kind::restore:
        return {&two_windows, 6, 6};
    }
    return {&cross, 6, 6};
}

canvas caption_cell(caption_tint tint, press_state press, const placed_glyph& placed)
{
    canvas c = caption_face(tint, press);
    c.stamp(*placed.glyph, placed.x, placed.y, caption_colours(tint, press).glyph);
    return c;
}

} // namespace

canvas push_button_strip()
{
    return join_across({push_button_cell(push_face::normal), push_button_cell(push_face::pressed),
                        push_button_cell(push_face::disabled), push_button_cell(push_face::hover),
                        push_button_cell(push_face::emphasised)});
}

canvas caption_strip(caption_kind kind)
{
    const caption_tint tint = kind == caption_kind::close ? caption_tint::red : caption_tint::blue;
    const placed_glyph placed = glyph_of(kind);
    return join_across({caption_cell(tint, press_state::normal, placed), caption_cell(tint, press_state::hover, placed),
                        caption_cell(tint, press_state::pressed, placed), caption_cell(tint, press_state::disabled, placed)});
}

canvas help_strip()
{
    const placed_glyph placed{&question_mark, 7, 6};
    return join_across({caption_cell(caption_tint::blue, press_state::normal, placed),
                        caption_cell(caption_tint::blue, press_state::hover, placed),
                        caption_cell(caption_tint::blue, press_state::pressed, placed)});
}

} // namespace art

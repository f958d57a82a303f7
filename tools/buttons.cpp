// The push button, the caption buttons and the caption help button, in the
// Luna look: push buttons are off-white with a rounded dark-blue border;
// caption buttons are small glossy squares with a white rim and a white
// glyph, red-orange for close and blue for the rest.

#include "drawings.h"

namespace art {

namespace {

// ---- Push button ----

enum class Face { normal, pressed, disabled, hover, emphasised };

constexpr int button_width = 18;
constexpr int button_height = 21;

// The face of the button inside its border, row by row: white at the top,
// a soft beige towards the bottom, and two shadow rows at the bottom that
// sit in the bottom slice (rows 18 to 20), so that they keep their size.
Paint button_fill(Face face)
{
    switch (face) {
    case Face::pressed:
        // Sunk: a shadow under the top border, lightening downwards.
        return vertical({{1, rgb(205, 202, 189)}, {2, rgb(218, 215, 205)}, {3, rgb(226, 224, 216)},
                         {17, rgb(238, 237, 232)}, {19, rgb(243, 242, 238)}});
    case Face::disabled:
        return solid(rgb(245, 244, 234));
    default:
        return vertical({{1, white}, {3, rgb(253, 253, 252)}, {17, rgb(236, 235, 230)},
                         {18, rgb(226, 223, 214)}, {19, rgb(214, 208, 197)}});
    }
}

// The two-pixel rim inside the border of the hover and emphasised faces,
// lighter at the top than at the bottom.
std::vector<Stop> rim_colours(Face face)
{
    if (face == Face::hover)
        return {{1, rgb(255, 240, 207)}, {2, rgb(253, 216, 137)}, {18, rgb(248, 179, 48)}, {19, rgb(229, 151, 0)}};
    return {{1, rgb(206, 231, 255)}, {2, rgb(188, 212, 246)}, {18, rgb(137, 173, 228)}, {19, rgb(105, 130, 238)}};
}

Canvas push_button_cell(Face face)
{
    Canvas c(button_width, button_height);
    const QRectF outer(0, 0, button_width, button_height);
    const QRectF inner = outer.adjusted(1, 1, -1, -1);
    const QRgb border = face == Face::disabled ? rgb(201, 199, 186) : rgb(0, 60, 116);

    c.rounded_box(outer, 3, border, button_fill(face));
    if (face == Face::normal || face == Face::hover || face == Face::emphasised) {
        // A touch of shade down the right side, as on a raised surface.
        for (int y = 2; y < button_height - 2; ++y)
            c.set(button_width - 2, y, mix(c.pixel(button_width - 2, y), rgb(214, 208, 197), 0.35));
    }
    if (face == Face::hover || face == Face::emphasised) {
        const Shape rim = minus(rounded_rect(inner, 2), rounded_rect(inner.adjusted(2, 2, -2, -2), 0));
        c.fill(rim, vertical(rim_colours(face)), c.rect());
    }
    return c;
}

// ---- Caption buttons ----

enum class Tint { red, blue };
enum class Press { normal, hover, pressed, disabled };

struct CaptionColours {
    QRgb deep;   // the face at its top-left
    QRgb glow;   // the face at its bottom-right
    QRgb rim;    // the outer rim
    QRgb glyph;
};

CaptionColours caption_colours(Tint tint, Press press)
{
    // Hover is brighter, pressed darker with a faded glyph, disabled pale.
    const bool red = tint == Tint::red;
    switch (press) {
    case Press::hover:
        return red ? CaptionColours{rgb(232, 96, 58), rgb(255, 180, 146), white, white}
                   : CaptionColours{rgb(50, 116, 248), rgb(156, 194, 255), white, white};
    case Press::pressed:
        return red ? CaptionColours{rgb(158, 40, 14), rgb(198, 86, 52), rgb(236, 236, 236), rgb(232, 186, 172)}
                   : CaptionColours{rgb(10, 54, 170), rgb(58, 106, 216), rgb(236, 236, 236), rgb(176, 196, 238)};
    case Press::disabled:
        return red ? CaptionColours{rgb(226, 164, 146), rgb(242, 200, 186), with_alpha(white, 170), rgb(250, 232, 226)}
                   : CaptionColours{rgb(146, 174, 236), rgb(186, 208, 248), with_alpha(white, 170), rgb(226, 234, 252)};
    case Press::normal:
        break;
    }
    return red ? CaptionColours{rgb(206, 68, 34), rgb(242, 146, 112), white, white}
               : CaptionColours{rgb(22, 84, 222), rgb(112, 158, 250), white, white};
}

constexpr int caption_size = 21;

// The square of a caption button: a white rim with round corners around a
// face that glows from the bottom-right, with a faint gloss along its top.
Canvas caption_face(Tint tint, Press press)
{
    const CaptionColours colours = caption_colours(tint, press);
    Canvas c(caption_size, caption_size);
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
const Glyph cross = {
    "##....##",
    "###..###",
    ".######.",
    "..####..",
    "..####..",
    ".######.",
    "###..###",
    "##....##",
};
const Glyph window_outline = {
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
const Glyph bar = {
    "######",
    "######",
    "######",
};
const Glyph two_windows = {
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
const Glyph question_mark = {
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

struct Placed {
    const Glyph* glyph;
    int x;
    int y;
};

Placed glyph_of(CaptionKind kind)
{
    switch (kind) {
    case CaptionKind::close:
        return {&cross, 6, 6};
    case CaptionKind::maximize:
        return {&window_outline, 6, 6};
    case CaptionKind::minimize:
        return {&bar, 6, 12};
    case CaptionKind::restore:
        return {&two_windows, 6, 6};
    }
    return {&cross, 6, 6};
}

Canvas caption_cell(Tint tint, Press press, const Placed& placed)
{
    Canvas c = caption_face(tint, press);
    c.stamp(*placed.glyph, placed.x, placed.y, caption_colours(tint, press).glyph);
    return c;
}

} // namespace

Canvas push_button_strip()
{
    return join_across({push_button_cell(Face::normal), push_button_cell(Face::pressed),
                        push_button_cell(Face::disabled), push_button_cell(Face::hover),
                        push_button_cell(Face::emphasised)});
}

Canvas caption_strip(CaptionKind kind)
{
    const Tint tint = kind == CaptionKind::close ? Tint::red : Tint::blue;
    const Placed placed = glyph_of(kind);
    return join_across({caption_cell(tint, Press::normal, placed), caption_cell(tint, Press::hover, placed),
                        caption_cell(tint, Press::pressed, placed), caption_cell(tint, Press::disabled, placed)});
}

Canvas help_strip()
{
    const Placed placed{&question_mark, 7, 6};
    return join_across({caption_cell(Tint::blue, Press::normal, placed),
                        caption_cell(Tint::blue, Press::hover, placed),
                        caption_cell(Tint::blue, Press::pressed, placed)});
}

} // namespace art

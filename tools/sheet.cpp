// The contact sheet, docs/art.png: every picture at 1x on the window body's
// colour and enlarged 4x over a checkerboard (so that transparent pixels show),
// with its name and the names of its cells. The lettering is a small pixel
// font of its own, so the sheet comes out the same on every machine,
// whatever fonts it has.

#include "art.h"
#include "raster.h"

#include <algorithm>
#include <map>

namespace art {

namespace {

// ---- A 5 x 7 pixel font (lower case, digits and a few signs); g, j, p, q
// and y reach two rows below the line. ----

const std::map<char, glyph_rows>& font()
{
    static const std::map<char, glyph_rows> glyphs = {
        {'a', {".....", ".....", ".###.", "....#", ".####", "#...#", ".####"}},
        {'b', {"#....", "#....", "####.", "#...#", "#...#", "#...#", "####."}},
        {'c', {".....", ".....", ".###.", "#....", "#....", "#....", ".###."}},
        {'d', {"....#", "....#", ".####", "#...#", "#...#", "#...#", ".####"}},
        {'e', {".....", ".....", ".###.", "#...#", "#####", "#....", ".###."}},
        {'f', {"..##.", ".#...", "####.", ".#...", ".#...", ".#...", ".#..."}},
        {'g', {".....", ".....", ".####", "#...#", "#...#", "#...#", ".####", "....#", ".###."}},
        {'h', {"#....", "#....", "####.", "#...#", "#...#", "#...#", "#...#"}},
        {'i', {"..#..", ".....", ".##..", "..#..", "..#..", "..#..", ".###."}},
        {'j', {"...#.", ".....", "..##.", "...#.", "...#.", "...#.", "...#.", "#..#.", ".##.."}},
        {'k', {"#....", "#....", "#..#.", "#.#..", "##...", "#.#..", "#..#."}},
        {'l', {".##..", "..#..", "..#..", "..#..", "..#..", "..#..", ".###."}},
        {'m', {".....", ".....", "##.#.", "#.#.#", "#.#.#", "#.#.#", "#.#.#"}},
        {'n', {".....", ".....", "####.", "#...#", "#...#", "#...#", "#...#"}},
        {'o', {".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."}},
        {'p', {".....", ".....", "####.", "#...#", "#...#", "#...#", "####.", "#....", "#...."}},
        {'q', {".....", ".....", ".####", "#...#", "#...#", "#...#", ".####", "....#", "....#"}},
        {'r', {".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."}},
        {'s', {".....", ".....", ".####", "#....", ".###.", "....#", "####."}},
        {'t', {".#...", ".#...", "####.", ".#...", ".#...", ".#..#", "..##."}},
        {'u', {".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"}},
        {'v', {".....", ".....", "#...#", "#...#", "#...#", ".#.#.", "..#.."}},
        {'w', {".....", ".....", "#...#", "#.#.#", "#.#.#", "#.#.#", ".#.#."}},
        {'x', {".....", ".....", "#...#", ".#.#.", "..#..", ".#.#.", "#...#"}},
        {'y', {".....", ".....", "#...#", "#...#", "#...#", "#...#", ".####", "....#", ".###."}},
        {'z', {".....", ".....", "#####", "...#.", "..#..", ".#...", "#####"}},
        {'0', {".###.", "#...#", "#..##", "#.#.#", "##..#", "#...#", ".###."}},
        {'1', {"..#..", ".##..", "..#..", "..#..", "..#..", "..#..", ".###."}},
        {'2', {".###.", "#...#", "....#", "...#.", "..#..", ".#...", "#####"}},
        {'3', {"#####", "...#.", "..#..", "...#.", "....#", "#...#", ".###."}},
        {'4', {"...#.", "..##.", ".#.#.", "#..#.", "#####", "...#.", "...#."}},
        {'5', {"#####", "#....", "####.", "....#", "....#", "#...#", ".###."}},
        {'6', {"..##.", ".#...", "#....", "####.", "#...#", "#...#", ".###."}},
        {'7', {"#####", "....#", "...#.", "..#..", ".#...", ".#...", ".#..."}},
        {'8', {".###.", "#...#", "#...#", ".###.", "#...#", "#...#", ".###."}},
        {'9', {".###.", "#...#", "#...#", ".####", "....#", "...#.", ".##.."}},
        {'_', {".....", ".....", ".....", ".....", ".....", ".....", "#####"}},
        {'-', {".....", ".....", ".....", ".###.", ".....", ".....", "....."}},
        {'.', {".....", ".....", ".....", ".....", ".....", ".....", "..#.."}},
        {',', {".....", ".....", ".....", ".....", ".....", "..#..", ".#..."}},
        {':', {".....", ".....", "..#..", ".....", ".....", "..#..", "....."}},
        {'(', {"...#.", "..#..", ".#...", ".#...", ".#...", "..#..", "...#."}},
        {')', {".#...", "..#..", "...#.", "...#.", "...#.", "..#..", ".#..."}},
        {'/', {"....#", "...#.", "...#.", "..#..", ".#...", ".#...", "#...."}},
    };
    return glyphs;
}

constexpr int glyph_width = 5, glyph_height = 7, glyph_advance = 6;

int text_width(const QString& text, int scale)
{
    return int(text.size()) * glyph_advance * scale - scale;
}

// Writes text (lower-cased) at (x, y), each font pixel `scale` pixels wide.
void write(canvas& c, const QString& text, int x, int y, QRgb colour, int scale = 1)
{
    for (const QChar ch : text.toLower()) {
        const auto found = font().find(char(ch.toLatin1()));
        if (found != font().end()) {
            for (std::size_t row = 0; row < found->second.size(); ++row)
                for (int col = 0; col < glyph_width; ++col)
                    if (found->second[row][col] == '#')
                        c.fill(QRect(x + col * scale, y + int(row) * scale, scale, scale), colour);
        }
        x += glyph_advance * scale;
    }
}

// ---- Layout ----

constexpr int zoom = 4;
constexpr int margin = 16;
constexpr int gap = 24;
constexpr QRgb page = rgb(236, 233, 216);      // the frame's body colour
constexpr QRgb ink = rgb(40, 40, 48);
constexpr QRgb faint_ink = rgb(110, 108, 100);
constexpr QRgb check_light = rgb(252, 252, 252);
constexpr QRgb check_dark = rgb(214, 214, 214);

// The pictures that start a row of their own, so that each kind of control
// and each look of the frame is seen together.
bool starts_row(const named_picture& p)
{
    static const QStringList first = {"caption_close", "option_0", "imgtop1", "imgtop2", "frame_icon"};
    return first.contains(p.name);
}

int label_width(const named_picture& p)
{
    int widest = 0;
    for (const QString& name : p.cell_names)
        widest = std::max(widest, text_width(name, 1));
    return widest;
}

// The size of one picture's block: its name, then the 1x picture beside the
// 4x one, with cell names under the cells of a strip laid across, or beside
// the cells of a strip laid down.
QSize block_size(const named_picture& p)
{
    const QSize big = p.image.size() * zoom;
    int width = p.image.width() + 8 + big.width();
    int height = 7 * 2 + 6 + big.height();
    if (p.rows > 1)
        width += 8 + label_width(p);
    else if (!p.cell_names.isEmpty())
        height += 12;
    return {std::max(width, text_width(p.name, 2)), height};
}

void draw_block(canvas& c, const named_picture& p, QPoint at)
{
    write(c, p.name, at.x(), at.y(), ink, 2);
    const QImage argb = p.image.convertToFormat(QImage::Format_ARGB32);
    const int top = at.y() + 7 * 2 + 6;

    // 1x, over the page colour.
    for (int y = 0; y < argb.height(); ++y)
        for (int x = 0; x < argb.width(); ++x)
            c.blend(at.x() + x, top + y, argb.pixel(x, y));

    // 4x, each pixel a square over a checkerboard of the same squares.
    const int left = at.x() + argb.width() + 8;
    for (int y = 0; y < argb.height(); ++y) {
        for (int x = 0; x < argb.width(); ++x) {
            const QRect square(left + x * zoom, top + y * zoom, zoom, zoom);
            c.fill(square, (x + y) % 2 == 0 ? check_light : check_dark);
            for (int sy = square.top(); sy <= square.bottom(); ++sy)
                for (int sx = square.left(); sx <= square.right(); ++sx)
                    c.blend(sx, sy, argb.pixel(x, y));
        }
    }

    // The cells: a mark at each boundary and each cell's name.
    const int cell_w = argb.width() / p.columns * zoom;
    const int cell_h = argb.height() / p.rows * zoom;
    const int bottom = top + argb.height() * zoom;
    for (int i = 1; i < p.columns; ++i)
        c.vline(left + i * cell_w, bottom, bottom + 3, faint_ink);
    for (int i = 1; i < p.rows; ++i)
        c.hline(left + argb.width() * zoom, left + argb.width() * zoom + 3, top + i * cell_h, faint_ink);
    for (int i = 0; i < int(p.cell_names.size()); ++i) {
        const QString& name = p.cell_names[i];
        if (p.rows > 1)
            write(c, name, left + argb.width() * zoom + 8, top + i * cell_h + (cell_h - glyph_height) / 2, faint_ink);
        else
            write(c, name, left + (i % p.columns) * cell_w + (cell_w - text_width(name, 1)) / 2, bottom + 5,
                  faint_ink);
    }
}

} // namespace

QImage contact_sheet(const std::vector<named_picture>& pictures)
{
    // Strips laid down (the check box) go in a column of their own on the
    // right; every other block flows in rows, left to right.
    constexpr int flow_width = 1080;
    std::vector<std::pair<const named_picture*, QPoint>> placed;
    int x = margin, y = margin + 7 * 3 + gap, row_height = 0;
    for (const named_picture& p : pictures) {
        if (p.rows > 1)
            continue;
        const QSize size = block_size(p);
        if (x > margin && (starts_row(p) || x + size.width() > margin + flow_width)) {
            x = margin;
            y += row_height + gap;
            row_height = 0;
        }
        placed.emplace_back(&p, QPoint(x, y));
        x += size.width() + gap;
        row_height = std::max(row_height, size.height());
    }
    int height = y + row_height + margin;
    int right = margin + flow_width + gap;
    const int column_top = margin + 7 * 3 + gap;
    int column_y = column_top, column_width = 0;
    for (const named_picture& p : pictures) {
        if (p.rows <= 1)
            continue;
        const QSize size = block_size(p);
        placed.emplace_back(&p, QPoint(right, column_y));
        column_y += size.height() + gap;
        column_width = std::max(column_width, size.width());
    }
    height = std::max(height, column_y - gap + margin);

    canvas sheet(right + column_width + margin, height, page);
    write(sheet, "fennimo art: every picture at 1x and 4x", margin, margin, ink, 3);
    for (const auto& [p, at] : placed)
        draw_block(sheet, *p, at);
    return sheet.image().convertToFormat(QImage::Format_RGB32);
}

} // namespace art

// The icons: the frame's default icon, a small application window, and the
// program's icon, two sheets of paper and a pencil, for a program that
// renames files; the main window shows it at 32 pixels, the desktop also at
// 16 and 48.

#include "drawings.h"

#include <algorithm>
#include <cmath>

namespace art {

namespace {

constexpr QRgb shadow = with_alpha(black, 60);

// A point along a line from `from` towards `to`, `along` pixels from
// `from` and `across` pixels to its left.
QPointF on_axis(QPointF from, QPointF to, double along, double across)
{
    const QPointF d = to - from;
    const double length = std::hypot(d.x(), d.y());
    const QPointF unit = d / length;
    const QPointF normal(unit.y(), -unit.x());
    return from + unit * along + normal * across;
}

// A band of the pencil between two distances along its axis, `half` pixels
// either side of it.
shape_fn band(QPointF from, QPointF to, double start, double end, double half)
{
    return polygon({on_axis(from, to, start, -half), on_axis(from, to, end, -half), on_axis(from, to, end, half),
                    on_axis(from, to, start, half)});
}

// Colour across the pencil: light on one facet, darker on the other.
paint_fn across_axis(QPointF from, QPointF to, double half, QRgb light, QRgb mid, QRgb dark)
{
    return [=](int x, int y) {
        const QPointF d = to - from;
        const double length = std::hypot(d.x(), d.y());
        const QPointF p(x + 0.5 - from.x(), y + 0.5 - from.y());
        const double across = (p.x() * d.y() - p.y() * d.x()) / length; // to the left is positive
        return along({{-half, dark}, {0, mid}, {half, light}}, across);
    };
}

// A sheet of paper with its top-right corner folded over.
void sheet(canvas& c, const QRect& r, int fold, int lines)
{
    const QRgb outline = rgb(96, 112, 140);
    const shape_fn body = polygon({QPointF(r.left(), r.top()), QPointF(r.right() + 1 - fold, r.top()),
                                   QPointF(r.right() + 1, r.top() + fold), QPointF(r.right() + 1, r.bottom() + 1),
                                   QPointF(r.left(), r.bottom() + 1)});
    // Its shadow, then the page, then its outline drawn by hand.
    c.fill(polygon({QPointF(r.left() + 1, r.top() + 1), QPointF(r.right() + 2 - fold, r.top() + 1),
                    QPointF(r.right() + 2, r.top() + 1 + fold), QPointF(r.right() + 2, r.bottom() + 2),
                    QPointF(r.left() + 1, r.bottom() + 2)}),
           shadow, c.rect());
    c.fill(body, vertical({{double(r.top()), white}, {double(r.bottom()), rgb(228, 234, 246)}}), r);
    c.hline(r.left(), r.right() - fold, r.top(), outline);
    c.hline(r.left(), r.right(), r.bottom(), outline);
    c.vline(r.left(), r.top(), r.bottom(), outline);
    c.vline(r.right(), r.top() + fold, r.bottom(), outline);
    // The fold: a small grey triangle and the diagonal edge.
    for (int i = 0; i <= fold; ++i) {
        const int x = r.right() - fold + i;
        c.set(x, r.top() + i, outline);
        for (int y = r.top() + i + 1; y <= r.top() + fold; ++y)
            c.set(x, y, x == r.right() - fold || y == r.top() + fold ? outline : rgb(214, 221, 234));
    }
    // Lines of writing.
    for (int i = 0; i < lines; ++i) {
        const int y = r.top() + fold + 3 + i * 3;
        const int end = r.right() - 3 - (i % 3 == 2 ? 4 : 0);
        if (y < r.bottom() - 2)
            c.hline(r.left() + 3, end, y, rgb(140, 166, 214));
    }
}

} // namespace

canvas frame_icon()
{
    // A white application window with a blue title bar and a dark outline.
    canvas c(16, 16);
    const QRect window(1, 2, 13, 12);
    c.fill(window.translated(1, 1), shadow);
    c.fill(window, rgb(58, 64, 96));
    c.fill(QRect(2, 3, 11, 3), vertical({{3, rgb(120, 180, 255)}, {5, rgb(24, 100, 230)}}));
    c.fill(QRect(2, 6, 11, 7), vertical({{6, white}, {12, rgb(226, 234, 248)}}));
    // The title bar's close box.
    c.fill(QRect(10, 4, 2, 1), rgb(240, 120, 90));
    return c;
}

canvas app_icon(int size)
{
    // Drawn for 32 pixels and scaled by this factor, so that every size is
    // the same drawing and the 32-pixel one is the window's own icon.
    const double k = size / 32.0;
    const auto px = [k](double v) { return int(std::lround(v * k)); };
    canvas c(size, size);
    const int fold = std::max(3, px(5));
    sheet(c, QRect(px(3), px(1), px(17), px(22)), fold, px(5));
    sheet(c, QRect(px(10), px(7), px(17), px(22)), fold, px(5));

    // The pencil, from its point at the lower left to its eraser at the top
    // right, lying across the front sheet: a dark outline first, then the
    // graphite, the sharpened wood, the yellow body, the metal band and the
    // eraser, each shaded across its width. The outline keeps a visible
    // width at the smallest size.
    const QPointF point(5 * k, 29 * k);
    const QPointF end(27 * k, 7 * k);
    const double half = 2.6 * k, edge = std::max(0.7, 0.9 * k);
    const double tip = 0.4 * k, wood = 3.5 * k, body = 7.0 * k, band_start = 22.5 * k, rubber = 25.0 * k,
                 length = 29.5 * k, lead = 1.3 * k;
    c.fill(polygon({on_axis(point, end, -edge, 0), on_axis(point, end, body, -half - edge),
                    on_axis(point, end, length + edge, -half - edge), on_axis(point, end, length + edge, half + edge),
                    on_axis(point, end, body, half + edge)}),
           rgb(92, 64, 30), c.rect());
    c.fill(polygon({on_axis(point, end, tip, 0), on_axis(point, end, body, -half), on_axis(point, end, body, half)}),
           across_axis(point, end, half, rgb(250, 224, 184), rgb(236, 198, 146), rgb(200, 156, 104)), c.rect());
    c.fill(polygon({on_axis(point, end, tip, 0), on_axis(point, end, wood, -lead), on_axis(point, end, wood, lead)}),
           rgb(50, 50, 58), c.rect());
    c.fill(band(point, end, body, band_start, half),
           across_axis(point, end, half, rgb(255, 230, 110), rgb(252, 194, 24), rgb(216, 136, 0)), c.rect());
    c.fill(band(point, end, band_start, rubber, half),
           across_axis(point, end, half, rgb(240, 240, 244), rgb(190, 192, 200), rgb(130, 132, 142)), c.rect());
    c.fill(band(point, end, rubber, length, half),
           across_axis(point, end, half, rgb(255, 186, 192), rgb(238, 122, 134), rgb(192, 80, 98)), c.rect());
    return c;
}

canvas main_icon()
{
    return app_icon(32);
}

} // namespace art

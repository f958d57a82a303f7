#include "raster.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace art {

namespace {

int round_channel(double v) { return std::clamp(int(std::floor(v + 0.5)), 0, 255); }

// Side of the sampling grid for anti-aliased shapes.
constexpr int samples = 4;

} // namespace

QRgb mix(QRgb a, QRgb b, double t)
{
    const auto ch = [t](int x, int y) { return round_channel(x + (y - x) * t); };
    return qRgba(ch(qRed(a), qRed(b)), ch(qGreen(a), qGreen(b)), ch(qBlue(a), qBlue(b)),
                 ch(qAlpha(a), qAlpha(b)));
}

paint_fn solid(QRgb colour)
{
    return [colour](int, int) { return colour; };
}

QRgb along(const std::vector<colour_stop>& stops, double position)
{
    if (stops.empty())
        return transparent;
    if (position <= stops.front().at)
        return stops.front().colour;
    for (std::size_t i = 1; i < stops.size(); ++i) {
        if (position <= stops[i].at) {
            const colour_stop& a = stops[i - 1];
            const colour_stop& b = stops[i];
            return mix(a.colour, b.colour, (position - a.at) / (b.at - a.at));
        }
    }
    return stops.back().colour;
}

paint_fn vertical(std::vector<colour_stop> stops)
{
    return [stops = std::move(stops)](int, int y) { return along(stops, y); };
}

paint_fn horizontal(std::vector<colour_stop> stops)
{
    return [stops = std::move(stops)](int x, int) { return along(stops, x); };
}

paint_fn diagonal(const QRect& area, QRgb from, QRgb to)
{
    const int span = std::max(1, area.width() - 1 + area.height() - 1);
    return [=](int x, int y) {
        return mix(from, to, std::clamp(double(x - area.left() + y - area.top()) / span, 0.0, 1.0));
    };
}

paint_fn radial(QPointF centre, double radius, QRgb inner, QRgb outer)
{
    return [=](int x, int y) {
        const double d = std::hypot(x + 0.5 - centre.x(), y + 0.5 - centre.y());
        return mix(inner, outer, std::min(1.0, d / radius));
    };
}

shape_fn rounded_rect(const QRectF& r, double radius)
{
    return [=](double x, double y) {
        if (x < r.left() || x > r.right() || y < r.top() || y > r.bottom())
            return false;
        // Distance into the corner square, if the point lies in one.
        const double cx = std::clamp(x, r.left() + radius, r.right() - radius);
        const double cy = std::clamp(y, r.top() + radius, r.bottom() - radius);
        const double dx = x - cx, dy = y - cy;
        return dx * dx + dy * dy <= radius * radius;
    };
}

shape_fn ellipse(const QRectF& r)
{
    return [=](double x, double y) {
        const double dx = (x - r.center().x()) / (r.width() / 2);
        const double dy = (y - r.center().y()) / (r.height() / 2);
        return dx * dx + dy * dy <= 1.0;
    };
}

shape_fn polygon(std::vector<QPointF> corners)
{
    return [corners = std::move(corners)](double x, double y) {
        // Even-odd rule: count the edges that a ray to the right crosses.
        bool inside = false;
        for (std::size_t i = 0, j = corners.size() - 1; i < corners.size(); j = i++) {
            const QPointF& a = corners[i];
            const QPointF& b = corners[j];
            if ((a.y() > y) != (b.y() > y) && x < a.x() + (y - a.y()) * (b.x() - a.x()) / (b.y() - a.y()))
                inside = !inside;
        }
        return inside;
    };
}

shape_fn minus(shape_fn a, shape_fn b)
{
    return [a = std::move(a), b = std::move(b)](double x, double y) { return a(x, y) && !b(x, y); };
}

canvas::canvas(int width, int height, QRgb fill)
    : m_image(width, height, QImage::Format_ARGB32)
{
    m_image.fill(fill);
}

QRgb canvas::pixel(int x, int y) const
{
    return m_image.rect().contains(x, y) ? m_image.pixel(x, y) : transparent;
}

void canvas::set(int x, int y, QRgb colour)
{
    if (m_image.rect().contains(x, y))
        m_image.setPixel(x, y, colour);
}

void canvas::blend(int x, int y, QRgb colour, double coverage)
{
    if (!m_image.rect().contains(x, y))
        return;
    const double sa = qAlpha(colour) / 255.0 * std::clamp(coverage, 0.0, 1.0);
    if (sa <= 0.0)
        return;
    const QRgb dst = m_image.pixel(x, y);
    const double da = qAlpha(dst) / 255.0;
    const double oa = sa + da * (1.0 - sa);
    const auto ch = [&](int s, int d) { return round_channel((s * sa + d * da * (1.0 - sa)) / oa); };
    m_image.setPixel(x, y, qRgba(ch(qRed(colour), qRed(dst)), ch(qGreen(colour), qGreen(dst)),
                                ch(qBlue(colour), qBlue(dst)), round_channel(oa * 255.0)));
}

void canvas::fill(const QRect& area, const paint_fn& paint)
{
    const QRect a = area.intersected(m_image.rect());
    for (int y = a.top(); y <= a.bottom(); ++y)
        for (int x = a.left(); x <= a.right(); ++x)
            m_image.setPixel(x, y, paint(x, y));
}

void canvas::fill(const shape_fn& shape, const paint_fn& paint, const QRect& area)
{
    const QRect a = area.intersected(m_image.rect());
    for (int y = a.top(); y <= a.bottom(); ++y) {
        for (int x = a.left(); x <= a.right(); ++x) {
            int inside = 0;
            for (int sy = 0; sy < samples; ++sy)
                for (int sx = 0; sx < samples; ++sx)
                    inside += shape(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples) ? 1 : 0;
            if (inside > 0)
                blend(x, y, paint(x, y), double(inside) / (samples * samples));
        }
    }
}

void canvas::rounded_box(const QRectF& outer, double radius, QRgb border, const paint_fn& face)
{
    fill(rounded_rect(outer, radius), border, rect());
    fill(rounded_rect(outer.adjusted(1, 1, -1, -1), radius - 1), face, rect());
}

void canvas::hline(int x0, int x1, int y, QRgb colour)
{
    for (int x = x0; x <= x1; ++x)
        set(x, y, colour);
}

void canvas::vline(int x, int y0, int y1, QRgb colour)
{
    for (int y = y0; y <= y1; ++y)
        set(x, y, colour);
}

void canvas::stamp(const glyph_rows& rows, int x, int y, const ink_list& inks)
{
    for (std::size_t row = 0; row < rows.size(); ++row) {
        const char* line = rows[row];
        for (std::size_t col = 0; line[col] != '\0'; ++col) {
            for (const auto& [ch, paint] : inks) {
                const int px = x + int(col), py = y + int(row);
                if (line[col] == ch)
                    blend(px, py, paint(px, py));
            }
        }
    }
}

void canvas::copy(const canvas& from, int x, int y)
{
    for (int sy = 0; sy < from.height(); ++sy)
        for (int sx = 0; sx < from.width(); ++sx)
            set(x + sx, y + sy, from.pixel(sx, sy));
}

namespace {

// Lays the cells one after another, each `step` (across or down) from the
// last by its own size.
canvas join(const std::vector<canvas>& cells, QPoint step)
{
    QPoint end;
    QSize size;
    for (const canvas& c : cells) {
        end += QPoint(c.width() * step.x(), c.height() * step.y());
        size = size.expandedTo(QSize(c.width(), c.height()));
    }
    canvas strip(std::max(size.width(), end.x()), std::max(size.height(), end.y()));
    QPoint at;
    for (const canvas& c : cells) {
        strip.copy(c, at.x(), at.y());
        at += QPoint(c.width() * step.x(), c.height() * step.y());
    }
    return strip;
}

} // namespace

canvas join_across(const std::vector<canvas>& cells) { return join(cells, QPoint(1, 0)); }

canvas join_down(const std::vector<canvas>& cells) { return join(cells, QPoint(0, 1)); }

} // namespace art

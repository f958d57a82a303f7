#include "trans_colour.h"

#include "platform/toolkit/pointer.h"

#include <QWidget>
#include <algorithm>

namespace frame {

namespace {

constexpr packed_colour no_colour = 0xFFFFFFFFu;

} // namespace

packed_colour pack_colour(QRgb rgb)
{
    return static_cast<packed_colour>(qRed(rgb)) | static_cast<packed_colour>(qGreen(rgb)) << 8 |
           static_cast<packed_colour>(qBlue(rgb)) << 16;
}

packed_colour surface_pixel(const QImage& surface, int x, int y)
{
    if (!surface.valid(x, y))
        return no_colour;
    return pack_colour(surface.pixel(x, y));
}

std::vector<QPoint> key_pixels(const QImage& surface, QSize client, packed_colour key)
{
    std::vector<QPoint> found;
    const int rows = std::min(key_scan_rows, client.height());
    for (int y = 0; y < rows; ++y)
        for (int x = 0; x < client.width(); ++x)
            if (surface_pixel(surface, x, y) == key)
                found.emplace_back(x, y);
    return found;
}

QRegion key_region(const QImage& surface, QSize client, packed_colour key)
{
    QRegion region(QRect(QPoint(0, 0), client));
    for (const QPoint& p : key_pixels(surface, client, key))
        region -= QRect(p, QSize(1, 1));
    return region;
}

void apply_key_region(QWidget* window, const QImage& surface, packed_colour key)
{
    platform::set_window_region(window, key_region(surface, window->size(), key));
}

} // namespace frame

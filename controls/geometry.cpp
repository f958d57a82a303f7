#include "geometry.h"

#include <QPainter>
#include <cmath>
#include <limits>

namespace controls {

QRect cell_rect(QSize picture, int rows, int columns, int index)
{
    if (rows <= 0 || columns <= 0 || index < 0 || index >= rows * columns)
        return {};
    const int width = picture.width() / columns;
    const int height = picture.height() / rows;
    return QRect((index % columns) * width, (index / columns) * height, width, height);
}

void paint_pieces(QImage& target, const QImage& source, std::span<const slice_piece> pieces)
{
    if (target.isNull() || source.isNull())
        return;
    QPainter painter(&target);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // The cell replaces what was there, transparent pixels included, as a
    // copy onto the surface would.
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    for (const slice_piece& piece : pieces) {
        if (piece.destination.width() <= 0 || piece.destination.height() <= 0
            || piece.source.width() <= 0 || piece.source.height() <= 0)
            continue;
        painter.drawImage(piece.destination, source, piece.source);
    }
}

double round_half_even(double value)
{
    return std::nearbyint(value); // the default rounding mode is to nearest, ties to even
}

std::int16_t to_int16_half_even(double value)
{
    const double rounded = round_half_even(value);
    if (rounded >= std::numeric_limits<std::int16_t>::max())
        return std::numeric_limits<std::int16_t>::max();
    if (rounded <= std::numeric_limits<std::int16_t>::min())
        return std::numeric_limits<std::int16_t>::min();
    return static_cast<std::int16_t>(rounded);
}

int half_of(double difference)
{
    return static_cast<int>(round_half_even(difference)) / 2;
}

} // namespace controls

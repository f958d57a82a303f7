// The colour-key shape on random pixel grids, against a reference that asks
// every point of the window and around it whether it should be inside.

#include "fuzz_input.h"

#include "frame/trans_colour.h"

#include <QImage>
#include <QRegion>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz_input in{data, size};
    const QImage::Format formats[] = {QImage::Format_RGB32, QImage::Format_ARGB32,
                                      QImage::Format_RGB888, QImage::Format_RGB16};
    const QImage::Format format = formats[in.byte() % 4];
    const int width = in.byte() % 24;
    const int height = in.byte() % 12;
    const QSize client(in.byte() % 28, in.byte() % 14);
    // The key, colours one step from it in each channel, and a few others.
    const QRgb palette[] = {qRgb(255, 0, 255), qRgba(255, 0, 255, 0), qRgb(254, 0, 255), qRgb(255, 1, 255),
                            qRgb(255, 0, 254), qRgb(0, 0, 0),         qRgb(255, 255, 255), qRgb(0, 255, 0)};
    QImage surface(width, height, format);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            surface.setPixel(x, y, palette[in.byte() % 8]);

    const auto is_key = [&](int x, int y) {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return false;
        const QRgb p = surface.pixel(x, y);
        return qRed(p) == 255 && qGreen(p) == 0 && qBlue(p) == 255;
    };
    std::vector<QPoint> expected;
    for (int y = 0; y < client.height() && y < 6; ++y)
        for (int x = 0; x < client.width(); ++x)
            if (is_key(x, y))
                expected.emplace_back(x, y);
    FUZZ_CHECK(frame::key_pixels(surface, client, frame::key_colour) == expected);

    const QRegion region = frame::key_region(surface, client, frame::key_colour);
    for (int y = -2; y < client.height() + 2; ++y)
        for (int x = -2; x < client.width() + 2; ++x) {
            const bool inside = x >= 0 && y >= 0 && x < client.width() && y < client.height() &&
                                !(y < 6 && is_key(x, y));
            FUZZ_CHECK(region.contains(QPoint(x, y)) == inside);
        }
    return 0;
}

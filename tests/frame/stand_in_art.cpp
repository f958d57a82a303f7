#include "stand_in_art.h"

#include "platform/pictures.h"

#include <array>

namespace frame_test {

QColor title_colour(int x, int y, int green)
{
    return QColor(x * 3, green, 100 + y * 4);
}

namespace {

QImage square_title(int green)
{
    QImage image(66, 29, QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixelColor(x, y, title_colour(x, y, green));
    return image;
}

QImage filled(int w, int h, const QColor& colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

} // namespace

QImage curved_title(int green)
{
    QImage image = square_title(green);
    const std::array<int, 5> cut{5, 3, 2, 1, 1};
    for (int y = 0; y < static_cast<int>(cut.size()); ++y)
        for (int i = 0; i < cut[static_cast<std::size_t>(y)]; ++i) {
            image.setPixelColor(i, y, QColor(255, 0, 255));
            image.setPixelColor(image.width() - 1 - i, y, QColor(255, 0, 255));
        }
    return image;
}

void install_stand_in_art()
{
    platform::set_picture_override("imgtop1", curved_title(active_green));
    platform::set_picture_override("imgtop2", curved_title(inactive_green));
    platform::set_picture_override("imgtopmax1", square_title(active_max_green));
    platform::set_picture_override("imgtopmax2", square_title(inactive_max_green));
    platform::set_picture_override("imgleft1", filled(5, 31, active_left));
    platform::set_picture_override("imgright1", filled(5, 31, active_right));
    platform::set_picture_override("imgbottom1", filled(49, 5, active_bottom));
    platform::set_picture_override("imgleft2", filled(5, 31, inactive_left));
    platform::set_picture_override("imgright2", filled(5, 31, inactive_right));
    platform::set_picture_override("imgbottom2", filled(49, 5, inactive_bottom));
    platform::set_picture_override("frame_icon", filled(16, 16, icon_colour));
}

} // namespace frame_test

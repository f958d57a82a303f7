#pragma once

// Frame pictures drawn in code at the sizes of the real art, so that the
// tests can tell every piece, every column and each look apart by colour.

#include "stand_in_pictures.h"
#include "platform/toolkit/pictures.h"

#include <QColor>
#include <QImage>

namespace frame_test {

// Green tells the four title pictures apart; in each, red follows the
// column (red / 3 is the column) and blue the row.
inline constexpr int active_green = 84, inactive_green = 150, active_max_green = 90, inactive_max_green = 160;
inline const QColor active_left(10, 20, 200), active_right(11, 21, 201), active_bottom(12, 22, 202);
inline const QColor inactive_left(110, 120, 220), inactive_right(111, 121, 221), inactive_bottom(112, 122, 222);

inline QImage filled(int w, int h, const QColor& colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// A 66 x 29 title; curved, its corners are cut out with the key colour in
// rows 0 to 4, 5, 3, 2, 1 and 1 pixels from each side edge.
inline QImage title(int green, bool curved)
{
    QImage image(66, 29, QImage::Format_RGB32);
    for (int y = 0; y < 29; ++y)
        for (int x = 0; x < 66; ++x)
            image.setPixelColor(x, y, QColor(x * 3, green, 100 + y * 4));
    const int cut[] = {5, 3, 2, 1, 1};
    for (int y = 0; curved && y < 5; ++y)
        for (int i = 0; i < cut[y]; ++i) {
            image.setPixelColor(i, y, QColor(255, 0, 255));
            image.setPixelColor(65 - i, y, QColor(255, 0, 255));
        }
    return image;
}

// Puts all eleven frame pictures in place of the generated ones.
inline void install_stand_in_art(fixture::stand_in_pictures& pictures)
{
    pictures.set("imgtop1", title(active_green, true));
    pictures.set("imgtop2", title(inactive_green, true));
    pictures.set("imgtopmax1", title(active_max_green, false));
    pictures.set("imgtopmax2", title(inactive_max_green, false));
    pictures.set("imgleft1", filled(5, 31, active_left));
    pictures.set("imgright1", filled(5, 31, active_right));
    pictures.set("imgbottom1", filled(49, 5, active_bottom));
    pictures.set("imgleft2", filled(5, 31, inactive_left));
    pictures.set("imgright2", filled(5, 31, inactive_right));
    pictures.set("imgbottom2", filled(49, 5, inactive_bottom));
    pictures.set("frame_icon", filled(16, 16, QColor(30, 160, 40)));
}

} // namespace frame_test

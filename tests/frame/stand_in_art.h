#pragma once

// Frame pictures drawn in code at the sizes of the real art, so that the
// tests can tell every piece, every column and each look apart by colour.

#include <QColor>
#include <QImage>

namespace frame_test {

// The colour of column x, row y of a title picture: red follows the column,
// blue the row, and green tells the four title pictures apart.
QColor title_colour(int x, int y, int green);

inline constexpr int active_green = 84;
inline constexpr int inactive_green = 150;
inline constexpr int active_max_green = 90;
inline constexpr int inactive_max_green = 160;

// Side, bottom and icon pictures are one colour each.
inline const QColor active_left(10, 20, 200);
inline const QColor active_right(11, 21, 201);
inline const QColor active_bottom(12, 22, 202);
inline const QColor inactive_left(110, 120, 220);
inline const QColor inactive_right(111, 121, 221);
inline const QColor inactive_bottom(112, 122, 222);
inline const QColor icon_colour(30, 160, 40);

// A 66 x 29 title whose curved corners are cut out with the key colour:
// in rows 0 to 4, 5, 3, 2, 1 and 1 pixels from each side edge.
QImage curved_title(int green);

// Installs all eleven frame pictures in place of the generated ones.
void install_stand_in_art();

} // namespace frame_test

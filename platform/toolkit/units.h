#pragma once

// Window geometry, control positions and fixed control sizes are kept in
// twips (1/1440 inch), as the windows were designed; drawing, layout and
// pointer tests are in pixels. The factor comes from the screen's logical
// DPI, one per axis: 15 at 96 DPI.

namespace platform {

double twips_per_pixel_x();
double twips_per_pixel_y();

// Whole pixels, rounded to nearest, for laying widgets out.
int twips_to_pixels_x(double twips);
int twips_to_pixels_y(double twips);
double pixels_to_twips_x(double pixels);
double pixels_to_twips_y(double pixels);

} // namespace platform

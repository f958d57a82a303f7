#include "units.h"

#include <QGuiApplication>
#include <QScreen>
#include <cmath>

namespace platform {

namespace {

constexpr double twips_per_inch = 1440.0;
constexpr double usual_dpi = 96.0;

// Without an application or a screen (a plain test of the rules, say) the
// usual 96 DPI applies.
double dpi(bool horizontal)
{
    const QScreen* screen = qobject_cast<QGuiApplication*>(QCoreApplication::instance())
                                ? QGuiApplication::primaryScreen()
                                : nullptr;
    if (!screen)
        return usual_dpi;
    const double value = horizontal ? screen->logicalDotsPerInchX() : screen->logicalDotsPerInchY();
    return value > 0 ? value : usual_dpi;
}

} // namespace

double twips_per_pixel_x() { return twips_per_inch / dpi(true); }
double twips_per_pixel_y() { return twips_per_inch / dpi(false); }

int twips_to_pixels_x(double twips) { return static_cast<int>(std::lround(twips / twips_per_pixel_x())); }
int twips_to_pixels_y(double twips) { return static_cast<int>(std::lround(twips / twips_per_pixel_y())); }
double pixels_to_twips_x(double pixels) { return pixels * twips_per_pixel_x(); }
double pixels_to_twips_y(double pixels) { return pixels * twips_per_pixel_y(); }

} // namespace platform

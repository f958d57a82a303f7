#include "xpcheckbox.h"

#include "platform/toolkit/pictures.h"

namespace controls {

// The indicator has a window of its own and reports moves over it in its
// own pixels, not at its corner.
xpcheckbox::xpcheckbox(QWidget* parent, const platform::picture_source& pictures,
                       const platform::pointer_source& pointer)
    : indicator_control(leave_order::draw_stop_raise, child_move::own_coordinates, child_unit::pixels, parent, pointer),
      m_strip(pictures.picture(QStringLiteral("checkbox")))
{
    draw_normal();
    layout();
}

int xpcheckbox::cell_for(int state) const
{
    const std::int32_t v = value_field();
    return v >= 0 && v <= 2 ? 4 * v + state : -1;
}

QImage xpcheckbox::cell_picture(int cell) const
{
    return platform::cell_picture(m_strip, 12, 1, cell);
}

void xpcheckbox::click()
{
    events().raise(dispatch::Click);
    switch (Value()) {
    case 0: set_Value(1); break;
    case 1: set_Value(0); break;
    case 2: set_Value(0); break;
    default: break;
    }
    draw_normal();
}

} // namespace controls

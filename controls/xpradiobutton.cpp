#include "xpradiobutton.h"

#include "platform/toolkit/pictures.h"

namespace controls {

xpradiobutton::xpradiobutton(QWidget* parent, const platform::picture_source& pictures,
                             const platform::pointer_source& pointer)
    : indicator_control(leave_order::stop_raise_draw, child_move::at_corner, child_unit::control, parent, pointer)
{
    for (int n = 0; n < 8; ++n)
        m_img[n] = pictures.lazy(QStringLiteral("option_%1").arg(n));
    layout();
    draw_normal();
}

void xpradiobutton::click()
{
    events().raise(dispatch::Click);
    // The host window is the top-level one: group boxes and other containers
    // do not split the group, and a window owned by this one (a dialog made
    // with it as parent) is a window of its own.
    QWidget* host = window();
    const auto buttons = host->findChildren<xpradiobutton*>();
    for (xpradiobutton* button : buttons)
        if (button->window() == host)
            button->set_Value(false);
    set_Value(true);
    draw_normal();
}

} // namespace controls

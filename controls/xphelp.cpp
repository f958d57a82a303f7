#include "xphelp.h"

#include "platform/pictures.h"

namespace controls {

xphelp::xphelp(QWidget* parent) : caption_button(parent), pc1(platform::picture(QStringLiteral("help")))
{
    draw_cell(cell_normal);
    // The fixed size holds from the start, before any host asks for one.
    on_resize();
}

void xphelp::load()
{
    // Straight to the window: the face stays the normal one.
    setEnabled(read("Enabled", true).toBool());
}

void xphelp::save()
{
    write("Enabled", Enabled(), true);
}

void xphelp::click()
{
    draw_cell(cell_normal);
    events().raise(dispatch::Click);
}

QImage xphelp::cell_picture(int cell) const
{
    return platform::cell_picture(pc1, 1, 3, cell);
}

} // namespace controls

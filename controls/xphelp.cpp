#include "xphelp.h"

#include "platform/toolkit/pictures.h"

namespace controls {

xphelp::xphelp(QWidget* parent, const platform::picture_source& pictures,
               const platform::pointer_source& pointer)
    : caption_button(parent, pointer), m_pc1(pictures.picture(QStringLiteral("help")))
{
    draw_cell(cell_normal);
    // The fixed size holds from the start, before any host asks for one.
    on_resize();
}

std::span<const stored_property> xphelp::stored_properties() const
{
    // Only the stored data disables the button, and its face stays the
    // normal one; a new button is enabled, as every window is at creation.
    static const stored_property rows[] = {
        {"Enabled", fixed<true>, get<&xphelp::Enabled>, set<&xphelp::set_Enabled>, as_created},
    };
    return rows;
}

void xphelp::click()
{
    draw_cell(cell_normal);
    events().raise(dispatch::Click);
}

QImage xphelp::cell_picture(int cell) const
{
    return platform::cell_picture(m_pc1, 1, 3, cell);
}

} // namespace controls

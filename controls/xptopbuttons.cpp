#include "xptopbuttons.h"

#include "platform/toolkit/pictures.h"

namespace controls {

xptopbuttons::xptopbuttons(QWidget* parent, const platform::picture_source& pictures,
                           const platform::pointer_source& pointer)
    : caption_button(parent, pointer),
      m_pc{pictures.lazy(QStringLiteral("caption_close")),
           pictures.lazy(QStringLiteral("caption_maximize")),
           pictures.lazy(QStringLiteral("caption_minimize")),
           pictures.lazy(QStringLiteral("caption_restore"))}
{
    draw_normal();
    // The fixed size holds from the start, before any host asks for one.
    on_resize();
}

void xptopbuttons::set_Value(std::int32_t value)
{
    m_value = value;
    notify_changed("Value");
    draw_normal();
}

void xptopbuttons::enabled_changed()
{
    draw_cell(Enabled() ? cell_normal : cell_disabled);
}

std::span<const stored_property> xptopbuttons::stored_properties() const
{
    // A loaded value goes to its field alone, and the strip follows it at
    // the show; a new button is given its value through the setter.
    using self = xptopbuttons;
    static const stored_property rows[] = {
        {"Value", fixed<0>, get<&self::m_value>, set<&self::m_value>, set<&self::set_Value>},
        {"Enabled", fixed<true>, get<&self::Enabled>, set<&self::set_Enabled>},
    };
    return rows;
}

void xptopbuttons::mouse_up(std::int16_t button, std::int16_t shift, float x, float y)
{
    draw_cell(cell_normal);
    events().raise_mouse(dispatch::MouseUp, button, shift, x, y);
}

void xptopbuttons::click()
{
    events().raise(dispatch::Click);
}

QImage xptopbuttons::cell_picture(int cell) const
{
    return platform::cell_picture(m_pc[static_cast<std::size_t>(m_strip)].image(), 1, 4, cell);
}

void xptopbuttons::draw_normal()
{
    if (m_value >= 0 && m_value < static_cast<std::int32_t>(m_pc.size()))
        m_strip = static_cast<std::int16_t>(m_value);
    draw_cell(Enabled() ? cell_normal : cell_disabled);
}

} // namespace controls

#include "xptopbuttons.h"

#include "platform/pictures.h"

namespace controls {

xptopbuttons::xptopbuttons(QWidget* parent)
    : caption_button(parent),
      pc{platform::picture(QStringLiteral("caption_close")), platform::picture(QStringLiteral("caption_maximize")),
         platform::picture(QStringLiteral("caption_minimize")), platform::picture(QStringLiteral("caption_restore"))}
{
    draw_normal();
    // The fixed size holds from the start, before any host asks for one.
    on_resize();
}

void xptopbuttons::set_Value(std::int32_t vNewValue)
{
    m_value = vNewValue;
    notify_changed("Value");
    draw_normal();
}

void xptopbuttons::set_Enabled(bool New_Enabled)
{
    setEnabled(New_Enabled);
    draw_cell(New_Enabled ? cell_normal : cell_disabled);
}

void xptopbuttons::init_new()
{
    set_Value(0);
    set_Enabled(true);
}

void xptopbuttons::load()
{
    // The value goes to its field alone; the strip follows it at the show.
    m_value = read("Value", 0).toInt();
    set_Enabled(read("Enabled", true).toBool());
}

void xptopbuttons::save()
{
    write("Value", m_value, 0);
    write("Enabled", Enabled(), true);
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
    return platform::cell_picture(pc[static_cast<std::size_t>(m_strip)], 1, 4, cell);
}

void xptopbuttons::draw_normal()
{
    if (m_value >= 0 && m_value < static_cast<std::int32_t>(pc.size()))
        m_strip = static_cast<std::int16_t>(m_value);
    draw_cell(Enabled() ? cell_normal : cell_disabled);
}

} // namespace controls

#include "indicator_control.h"

#include "controls/accessibility.h"

#include "platform/toolkit/units.h"

namespace controls {

namespace {

constexpr double indicator_box_twips = 240;
constexpr double caption_left_twips = 480;

} // namespace

indicator_control::indicator_control(leave_order order, child_move p_move, child_unit p_unit, QWidget* parent,
                                     const platform::pointer_source& pointer)
    : hover_control({Click_event, KeyDown_event, KeyPress_event, KeyUp_event, MouseDown_event, MouseMove_event,
                     MouseUp_event, MouseOut_event},
                    true, order, parent, pointer),
      m_lbl(new caption_label(this)), m_p(new picture_box(this))
{
    set_surface_colour(to_qcolor(m_back_colour));
    colour_caption();
    m_lbl->on_text_changed = [this] { layout(); };
    forward_input(m_lbl, child_move::at_corner);
    forward_input(m_p, p_move, p_unit);
    click_with_keys(key_click::space);
}

// --- Properties -----------------------------------------------------------------

void indicator_control::set_value_field(std::int32_t value)
{
    m_value = value;
    draw_normal();
    announce_checked_change(this);
    notify_changed("Value");
}

void indicator_control::set_Caption(const QString& caption)
{
    m_lbl->set_caption(caption);
    layout();
    notify_changed("Caption");
}

void indicator_control::enabled_changed()
{
    draw_normal();
    colour_caption();
}

void indicator_control::set_Font(const QFont& font)
{
    share_font(font, m_lbl);
    layout();
    notify_changed("Font");
}

void indicator_control::set_BackColor(ole_color colour)
{
    m_back_colour = colour;
    notify_changed("BackColor");
    set_surface_colour(to_qcolor(m_back_colour));
}

void indicator_control::set_ForeColor(ole_color colour)
{
    m_fore_colour = colour;
    notify_changed("ForeColor");
    colour_caption();
}

void indicator_control::colour_caption()
{
    m_lbl->set_text_colour(to_qcolor(Enabled() ? m_fore_colour : disabled_caption));
}

std::span<const stored_property> indicator_control::stored_properties() const
{
    // Saved in this order; a load starts with the Value, a new instance with
    // the caption and the enabled state.
    using self = indicator_control;
    static const stored_property rows[] = {
        {"Font", host_font, get<&self::Font>, set<&self::set_Font>, nullptr, 3, 3},
        {"Value", get<&self::default_value>, get<&self::stored_value>, set<&self::apply_stored_value>, nullptr, 0, 2},
        {"Caption", host_name, get<&self::Caption>, set<&self::set_Caption>, nullptr, 1, 0},
        {"Enabled", fixed<true>, get<&self::Enabled>, set<&self::set_Enabled>, nullptr, 2, 1},
        {"BackColor", fixed<button_face>, get<&self::BackColor>, set<&self::set_BackColor>},
        {"ForeColor", fixed<ole_color(0)>, get<&self::ForeColor>, set<&self::set_ForeColor>},
    };
    return rows;
}

// --- Notifications ----------------------------------------------------------------

// Every button shows the pressed cell, not only the primary one.
void indicator_control::mouse_down(std::int16_t button, std::int16_t shift, float x, float y)
{
    press_face();
    events().raise_mouse(dispatch::MouseDown, button, shift, x, y);
}

// The release leaves the cell alone: the click that follows, or the poll,
// redraws it.
void indicator_control::mouse_up(std::int16_t button, std::int16_t shift, float x, float y)
{
    events().raise_mouse(dispatch::MouseUp, button, shift, x, y);
}

void indicator_control::press_face()
{
    if (Enabled())
        show_cell(cell_for(state_pressed));
}

QRect indicator_control::focus_mark_rect() const
{
    return m_lbl->geometry().adjusted(-1, -1, 1, 1) & rect();
}

void indicator_control::show_tracking_face(bool pressed)
{
    if (Enabled())
        show_cell(cell_for(pressed ? state_pressed : state_hover));
}

// --- Faces and layout ---------------------------------------------------------------

void indicator_control::draw_normal()
{
    if (Enabled())
        show_cell(cell_for(state_normal));
    else
        draw_disabled();
}

void indicator_control::draw_disabled()
{
    show_cell(cell_for(state_disabled));
}

void indicator_control::show_cell(int cell)
{
    if (cell < 0)
        return;
    m_p->set_picture(cell_picture(cell));
    m_shown_cell = cell;
}

// Children are placed in twips, the way the control was designed; a child
// taller than the control gets a negative top and reaches above it.
void indicator_control::layout()
{
    set_scale_unit(scale_unit::twips);
    const double height = scale_height();
    const int p_top = half_of(height - indicator_box_twips);
    m_p->setGeometry(to_pixels_x(0), to_pixels_y(p_top), to_pixels_x(indicator_box_twips),
                   to_pixels_y(indicator_box_twips));
    const double label_height = m_lbl->height() * units_per_pixel_y();
    const int label_top = half_of(height - label_height);
    m_lbl->move(to_pixels_x(caption_left_twips), to_pixels_y(label_top));
}

} // namespace controls

#include "indicator_control.h"

#include "platform/units.h"

namespace controls {

namespace {

constexpr double indicator_box_twips = 240;
constexpr double caption_left_twips = 480;

} // namespace

indicator_control::indicator_control(leave_order order, child_move p_move, child_unit p_unit, QWidget* parent)
    : hover_control({Click_event, KeyDown_event, KeyPress_event, KeyUp_event, MouseDown_event, MouseMove_event,
                     MouseUp_event, MouseOut_event},
                    true, order, parent),
      lbl(new caption_label(this)), p(new picture_box(this))
{
    set_surface_colour(to_qcolor(m_back_colour));
    colour_caption();
    lbl->on_text_changed = [this] { layout(); };
    forward_input(lbl, child_move::at_corner);
    forward_input(p, p_move, p_unit);
}

// --- Properties -----------------------------------------------------------------

void indicator_control::set_value_field(std::int32_t value)
{
    m_value = value;
    draw_normal();
    notify_changed("Value");
}

void indicator_control::set_Caption(const QString& vNewCaption)
{
    lbl->set_caption(vNewCaption);
    layout();
    notify_changed("Caption");
}

void indicator_control::set_Enabled(bool New_Enabled)
{
    setEnabled(New_Enabled);
    if (New_Enabled)
        draw_normal();
    else
        draw_disabled();
    colour_caption();
}

void indicator_control::set_Font(const QFont& vNewFont)
{
    share_font(vNewFont, lbl);
    layout();
    notify_changed("Font");
}

void indicator_control::set_BackColor(ole_color New_BackColor)
{
    m_back_colour = New_BackColor;
    notify_changed("BackColor");
    set_surface_colour(to_qcolor(m_back_colour));
}

void indicator_control::set_ForeColor(ole_color New_ForeColor)
{
    m_fore_colour = New_ForeColor;
    notify_changed("ForeColor");
    colour_caption();
}

void indicator_control::colour_caption()
{
    lbl->set_text_colour(to_qcolor(Enabled() ? m_fore_colour : disabled_caption));
}

// --- Persistence ------------------------------------------------------------------

void indicator_control::init_new()
{
    set_Caption(ambient_display_name());
    set_Enabled(true);
    apply_stored_value(default_value());
    set_Font(ambient_font());
    set_BackColor(button_face);
    set_ForeColor(0);
}

void indicator_control::load()
{
    apply_stored_value(read("Value", default_value()));
    set_Caption(read("Caption", ambient_display_name()).toString());
    set_Enabled(read("Enabled", true).toBool());
    set_Font(read("Font", ambient_font()).value<QFont>());
    set_BackColor(read("BackColor", button_face).toUInt());
    set_ForeColor(read("ForeColor", 0u).toUInt());
}

void indicator_control::save()
{
    write("Font", Font(), ambient_font());
    write("Value", stored_value(), default_value());
    write("Caption", Caption(), ambient_display_name());
    write("Enabled", Enabled(), true);
    write("BackColor", m_back_colour, button_face);
    write("ForeColor", m_fore_colour, 0u);
}

// --- Notifications ----------------------------------------------------------------

// Every button shows the pressed cell, not only the primary one.
void indicator_control::mouse_down(std::int16_t button, std::int16_t shift, float x, float y)
{
    if (Enabled())
        show_cell(cell_for(state_pressed));
    events().raise_mouse(dispatch::MouseDown, button, shift, x, y);
}

// The release leaves the cell alone: the click that follows, or the poll,
// redraws it.
void indicator_control::mouse_up(std::int16_t button, std::int16_t shift, float x, float y)
{
    events().raise_mouse(dispatch::MouseUp, button, shift, x, y);
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
    p->set_picture(cell_picture(cell));
    m_shown_cell = cell;
}

// Children are placed in twips, the way the control was designed; a child
// taller than the control gets a negative top and reaches above it.
void indicator_control::layout()
{
    set_scale_unit(scale_unit::twips);
    const double height = scale_height();
    const int p_top = half_of(height - indicator_box_twips);
    p->setGeometry(to_pixels_x(0), to_pixels_y(p_top), to_pixels_x(indicator_box_twips),
                   to_pixels_y(indicator_box_twips));
    const double label_height = lbl->height() * units_per_pixel_y();
    const int label_top = half_of(height - label_height);
    lbl->move(to_pixels_x(caption_left_twips), to_pixels_y(label_top));
}

} // namespace controls

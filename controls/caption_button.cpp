#include "caption_button.h"

namespace controls {

caption_button::caption_button(QWidget* parent, const platform::pointer_source& pointer)
    : hover_control({Click_event, MouseDown_event, MouseMove_event, MouseUp_event, MouseOut_event}, true,
                    leave_order::stop_raise_draw, parent, pointer)
{
    // The poll compares the pointer, in pixels, with the scale rectangle, so
    // the surface never leaves pixels.
    set_scale_unit(scale_unit::pixels);
}

void caption_button::on_resize()
{
    keep_fixed_size(side_twips, side_twips);
}

void caption_button::mouse_down(std::int16_t button, std::int16_t shift, float x, float y)
{
    draw_cell(cell_pressed);
    events().raise_mouse(dispatch::MouseDown, button, shift, x, y);
}

void caption_button::draw_cell(int cell)
{
    show_face(cell_picture(cell));
}

void caption_button::show_tracking_face(bool pressed)
{
    draw_cell(pressed ? cell_pressed : cell_hover);
}

void caption_button::draw_rest_face()
{
    if (Enabled())
        draw_cell(cell_normal);
}

} // namespace controls

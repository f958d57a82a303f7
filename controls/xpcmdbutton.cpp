#include "xpcmdbutton.h"

#include "controls/colours.h"
#include "platform/pictures.h"

namespace controls {

std::array<slice_piece, 9> nine_slice_pieces(double W, double H)
{
    const float right = float(W - 3);
    const float bottom = float(H - 3);
    const float inner_width = float(W - 6);
    const std::int16_t inner_height = to_int16_half_even(H - 6);
    return {{
        {{0, 0, 3, 3}, {0, 0, 3, 3}},                       // top-left corner
        {{right, 0, 3, 3}, {15, 0, 3, 3}},                  // top-right corner
        {{right, bottom, 3, 3}, {15, 18, 3, 3}},            // bottom-right corner
        {{0, bottom, 3, 3}, {0, 18, 3, 3}},                 // bottom-left corner
        {{3, 0, inner_width, 3}, {3, 0, 12, 3}},            // top edge
        {{right, 3, 3, double(inner_height)}, {15, 3, 3, 15}}, // right edge
        {{0, 3, 3, double(inner_height)}, {0, 3, 3, 15}},   // left edge
        {{3, bottom, inner_width, 3}, {3, 18, 12, 3}},      // bottom edge
        {{3, 3, inner_width, double(inner_height)}, {3, 3, 12, 15}}, // centre
    }};
}

xpcmdbutton::xpcmdbutton(QWidget* parent)
    : hover_control({Click_event, KeyDown_event, KeyPress_event, KeyUp_event, MouseDown_event, MouseMove_event,
                     MouseUp_event, MouseOut_event},
                    false, leave_order::stop_raise_draw, parent),
      lbl(new caption_label(this)), m_strip(platform::picture(QStringLiteral("cmdbutton")))
{
    lbl->set_text_colour(Qt::black);
    // The label carries the caption's access key; using it clicks the button.
    lbl->setBuddy(this);
    lbl->on_access_key = [this] { access_key(); };
    lbl->on_text_changed = [this] { on_resize(); };
    forward_input(lbl, child_move::at_corner);
    draw_normal();
}

// --- Properties -----------------------------------------------------------------

void xpcmdbutton::set_State(std::int32_t vNewValue)
{
    m_state = vNewValue;
    notify_changed("State");
    draw_normal();
}

void xpcmdbutton::set_Enabled(bool New_Enabled)
{
    setEnabled(New_Enabled);
    notify_changed("Enabled");
    draw_normal();
    lbl->set_text_colour(New_Enabled ? QColor(Qt::black) : to_qcolor(disabled_caption));
}

void xpcmdbutton::set_Caption(const QString& vNewCaption)
{
    lbl->set_caption(vNewCaption);
    notify_changed("Caption");
}

void xpcmdbutton::set_Font(const QFont& vNewFont)
{
    share_font(vNewFont, lbl);
    on_resize();
    notify_changed("Font");
}

// --- Persistence ------------------------------------------------------------------

void xpcmdbutton::init_new()
{
    set_Enabled(true);
    set_Caption(ambient_display_name());
    set_Font(ambient_font());
}

void xpcmdbutton::load()
{
    // The state goes to its field directly; its face follows with the first
    // layout.
    m_state = read("State", 0).toInt();
    set_Enabled(read("Enabled", true).toBool());
    set_Caption(read("Caption", ambient_display_name()).toString());
    set_Font(read("Font", ambient_font()).value<QFont>());
}

void xpcmdbutton::save()
{
    write("State", m_state, 0);
    write("Enabled", Enabled(), true);
    write("Caption", Caption(), ambient_display_name());
    write("Font", Font(), ambient_font());
}

// --- Notifications ----------------------------------------------------------------

void xpcmdbutton::on_resize()
{
    draw_normal();
    const double left = (scale_width() - lbl->width()) / 2.0;
    const double top = (scale_height() - lbl->height()) / 2.0;
    lbl->move(int(round_half_even(left)), int(round_half_even(top)));
}

void xpcmdbutton::on_show()
{
    draw_normal();
}

void xpcmdbutton::mouse_down(std::int16_t button, std::int16_t shift, float x, float y)
{
    events().raise_mouse(dispatch::MouseDown, button, shift, x, y);
    draw_cell(cell_pressed);
}

void xpcmdbutton::mouse_up(std::int16_t button, std::int16_t shift, float x, float y)
{
    events().raise_mouse(dispatch::MouseUp, button, shift, x, y);
    draw_normal();
}

void xpcmdbutton::click()
{
    events().raise(dispatch::Click);
}

void xpcmdbutton::access_key()
{
    events().raise(dispatch::Click);
}

void xpcmdbutton::show_tracking_face(bool pressed)
{
    draw_cell(pressed ? cell_pressed : cell_hover);
}

// --- Faces -------------------------------------------------------------------------

void xpcmdbutton::draw_normal()
{
    if (m_state == 1)
        m_rest_cell = cell_emphasised;
    else if (m_state == 0)
        m_rest_cell = cell_normal;
    draw_cell(Enabled() ? m_rest_cell : cell_disabled);
}

void xpcmdbutton::draw_cell(int i)
{
    set_scale_unit(scale_unit::pixels);
    const auto pieces = nine_slice_pieces(scale_width(), scale_height());
    paint_pieces(platform::cell_picture(m_strip, 1, 5, i), pieces);
    m_shown_cell = i;
}

} // namespace controls

#include "xpcmdbutton.h"

#include "controls/colours.h"
#include "platform/toolkit/pictures.h"

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

xpcmdbutton::xpcmdbutton(QWidget* parent, const platform::picture_source& pictures,
                         const platform::pointer_source& pointer)
    : hover_control({Click_event, KeyDown_event, KeyPress_event, KeyUp_event, MouseDown_event, MouseMove_event,
                     MouseUp_event, MouseOut_event},
                    false, leave_order::stop_raise_draw, parent, pointer),
      m_lbl(new caption_label(this)), m_strip(pictures.picture(QStringLiteral("cmdbutton")))
{
    m_lbl->set_text_colour(Qt::black);
    // The label carries the caption's access key; using it clicks the button.
    m_lbl->setBuddy(this);
    m_lbl->on_access_key = [this] { access_key(); };
    m_lbl->on_text_changed = [this] { on_resize(); };
    forward_input(m_lbl, child_move::at_corner);
    tell_host_of_enabled();
    click_with_keys(key_click::space_and_enter);
    draw_normal();
}

// --- Properties -----------------------------------------------------------------

void xpcmdbutton::set_State(std::int32_t value)
{
    m_state = value;
    notify_changed("State");
    draw_normal();
}

void xpcmdbutton::enabled_changed()
{
    draw_normal();
    m_lbl->set_text_colour(Enabled() ? QColor(Qt::black) : to_qcolor(disabled_caption));
}

void xpcmdbutton::set_Caption(const QString& caption)
{
    m_lbl->set_caption(caption);
    notify_changed("Caption");
}

void xpcmdbutton::set_Font(const QFont& font)
{
    share_font(font, m_lbl);
    on_resize();
    notify_changed("Font");
}

std::span<const stored_property> xpcmdbutton::stored_properties() const
{
    // A loaded state goes to its field, and its face follows with the first
    // layout; a new button keeps state 0.
    static const stored_property rows[] = {
        {"State", fixed<0>, get<&xpcmdbutton::m_state>, set<&xpcmdbutton::m_state>, as_created},
        {"Enabled", fixed<true>, get<&xp_control::Enabled>, set<&xp_control::set_Enabled>},
        {"Caption", host_name, get<&xpcmdbutton::Caption>, set<&xpcmdbutton::set_Caption>},
        {"Font", host_font, get<&xp_control::Font>, set<&xpcmdbutton::set_Font>},
    };
    return rows;
}

// --- Notifications ----------------------------------------------------------------

void xpcmdbutton::on_resize()
{
    draw_normal();
    const double left = (scale_width() - m_lbl->width()) / 2.0;
    const double top = (scale_height() - m_lbl->height()) / 2.0;
    m_lbl->move(int(round_half_even(left)), int(round_half_even(top)));
}

void xpcmdbutton::on_show()
{
    draw_normal();
}

void xpcmdbutton::mouse_down(std::int16_t button, std::int16_t shift, float x, float y)
{
    events().raise_mouse(dispatch::MouseDown, button, shift, x, y);
    press_face();
}

void xpcmdbutton::mouse_up(std::int16_t button, std::int16_t shift, float x, float y)
{
    events().raise_mouse(dispatch::MouseUp, button, shift, x, y);
    release_face();
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

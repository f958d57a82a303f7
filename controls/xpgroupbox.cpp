#include "xpgroupbox.h"

#include "platform/toolkit/pictures.h"

namespace controls {

std::array<slice_piece, 8> groupbox_pieces(double W, double H, int half)
{
    const double t = to_int16_half_even(half);
    const double side = H - 6 - half;
    return {{
        {{0, t, 3, 3}, {0, 0, 3, 3}},            // top-left corner
        {{W - 3, t, 3, 3}, {19, 0, 3, 3}},       // top-right corner
        {{W - 3, H - 3, 3, 3}, {19, 17, 3, 3}},  // bottom-right corner
        {{0, H - 3, 3, 3}, {0, 17, 3, 3}},       // bottom-left corner
        {{3, t, W - 6, 1}, {3, 0, 16, 1}},       // top line
        {{W - 1, t + 3, 1, side}, {21, 3, 1, 14}}, // right line
        {{3, H - 1, W - 6, 1}, {3, 19, 16, 1}},  // bottom line
        {{0, t + 3, 1, side}, {0, 3, 1, 14}},    // left line
    }};
}

xpgroupbox::xpgroupbox(QWidget* parent, const platform::picture_source& pictures)
    : xp_control({Click_event, DblClick_event, MouseDown_event, MouseMove_event, MouseUp_event}, parent),
      m_lbl(new caption_label(this)), m_img(pictures.picture(QStringLiteral("groupbox")))
{
    set_surface_colour(to_qcolor(m_back_colour));
    // The caption blanks the top line behind its text.
    m_lbl->set_opaque(true, to_qcolor(m_back_colour));
    m_lbl->set_text_colour(to_qcolor(caption_colour));
    m_lbl->on_text_changed = [this] { layout(); };
    forward_input(m_lbl, child_move::own_coordinates);
    tell_host_of_enabled();
    layout();
}

// --- Properties -----------------------------------------------------------------

void xpgroupbox::set_Caption(const QString& caption)
{
    m_lbl->set_caption(caption);
    layout();
    notify_changed("Caption");
}

void xpgroupbox::enabled_changed()
{
    m_lbl->set_text_colour(to_qcolor(Enabled() ? caption_colour : disabled_caption));
}

void xpgroupbox::set_Font(const QFont& font)
{
    share_font(font, m_lbl);
    layout();
    notify_changed("Font");
}

void xpgroupbox::set_BackColor(ole_color colour)
{
    m_back_colour = colour;
    notify_changed("BackColor");
    set_surface_colour(to_qcolor(m_back_colour));
    m_lbl->set_opaque(true, to_qcolor(m_back_colour));
    layout();
}

std::span<const stored_property> xpgroupbox::stored_properties() const
{
    // Saved and made new in this order; a load gives the caption last.
    using self = xpgroupbox;
    static const stored_property rows[] = {
        {"Caption", host_name, get<&self::Caption>, set<&self::set_Caption>, nullptr, 3},
        {"Enabled", fixed<true>, get<&self::Enabled>, set<&self::set_Enabled>, nullptr, 0},
        {"Font", host_font, get<&self::Font>, set<&self::set_Font>, nullptr, 1},
        {"BackColor", fixed<new_back_colour>, get<&self::BackColor>, set<&self::set_BackColor>, nullptr, 2},
    };
    return rows;
}

// --- Notifications ----------------------------------------------------------------

void xpgroupbox::child_click(QWidget*)
{
    events().raise(dispatch::Click);
}

void xpgroupbox::child_dbl_click(QWidget*)
{
    events().raise(dispatch::DblClick);
}

// --- Layout -------------------------------------------------------------------------

void xpgroupbox::layout()
{
    set_scale_unit(scale_unit::pixels);
    clear_surface();
    const int h = static_cast<int>(round_half_even(m_lbl->height()));
    const int half = h / 2;
    m_lbl->move(caption_left, 0);
    const auto pieces = groupbox_pieces(scale_width(), scale_height(), half);
    paint_pieces(m_img, pieces);
}

} // namespace controls

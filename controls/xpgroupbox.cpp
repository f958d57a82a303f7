#include "xpgroupbox.h"

#include "platform/pictures.h"

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

xpgroupbox::xpgroupbox(QWidget* parent)
    : xp_control({Click_event, DblClick_event, MouseDown_event, MouseMove_event, MouseUp_event}, parent),
      lbl(new caption_label(this)), img(platform::picture(QStringLiteral("groupbox")))
{
    set_surface_colour(to_qcolor(m_back_colour));
    // The caption blanks the top line behind its text.
    lbl->set_opaque(true, to_qcolor(m_back_colour));
    lbl->set_text_colour(to_qcolor(caption_colour));
    lbl->on_text_changed = [this] { layout(); };
    forward_input(lbl, child_move::own_coordinates);
    layout();
}

// --- Properties -----------------------------------------------------------------

void xpgroupbox::set_Caption(const QString& vNewCaption)
{
    lbl->set_caption(vNewCaption);
    layout();
    notify_changed("Caption");
}

void xpgroupbox::set_Enabled(bool New_Enabled)
{
    setEnabled(New_Enabled);
    notify_changed("Enabled");
    lbl->set_text_colour(to_qcolor(New_Enabled ? caption_colour : disabled_caption));
}

void xpgroupbox::set_Font(const QFont& vNewFont)
{
    share_font(vNewFont, lbl);
    layout();
    notify_changed("Font");
}

void xpgroupbox::set_BackColor(ole_color New_BackColor)
{
    m_back_colour = New_BackColor;
    notify_changed("BackColor");
    set_surface_colour(to_qcolor(m_back_colour));
    lbl->set_opaque(true, to_qcolor(m_back_colour));
    layout();
}

// --- Persistence ------------------------------------------------------------------

void xpgroupbox::init_new()
{
    set_Caption(ambient_display_name());
    set_Enabled(true);
    set_Font(ambient_font());
    set_BackColor(new_back_colour);
}

void xpgroupbox::load()
{
    set_Enabled(read("Enabled", true).toBool());
    set_Font(read("Font", ambient_font()).value<QFont>());
    set_BackColor(read("BackColor", new_back_colour).toUInt());
    set_Caption(read("Caption", ambient_display_name()).toString());
}

void xpgroupbox::save()
{
    write("Caption", Caption(), ambient_display_name());
    write("Enabled", Enabled(), true);
    write("Font", Font(), ambient_font());
    write("BackColor", m_back_colour, new_back_colour);
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
    const int h = static_cast<int>(round_half_even(lbl->height()));
    const int half = h / 2;
    lbl->move(caption_left, 0);
    const auto pieces = groupbox_pieces(scale_width(), scale_height(), half);
    paint_pieces(img, pieces);
}

} // namespace controls

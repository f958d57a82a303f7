#pragma once

// What the option button and the check box have in common: a small
// indicator `p` beside a caption label `lbl`, both centred vertically by the
// halving rule; the same properties, stored keys and orders; the same press,
// move, release and key handling; the hover poll, which first puts the
// surface into pixels, while every layout puts it back into twips.
//
// A subclass says which cell each value and state shows (cell_for), where a
// cell's picture comes from (cell_picture), how its Value is typed in the
// store, and what a click does.

#include "controls/caption_label.h"
#include "controls/picture_box.h"
#include "controls/colours.h"
#include "controls/xp_control.h"

#include "platform/toolkit/pointer.h"

#include <QFont>
#include <cstdint>

namespace controls {

class indicator_control : public hover_control {
    Q_OBJECT
public:
    static constexpr int state_normal = 0;
    static constexpr int state_hover = 1;
    static constexpr int state_pressed = 2;
    static constexpr int state_disabled = 3;

    QString Caption() const { return m_lbl->caption(); }
    void set_Caption(const QString& caption);
    void set_Font(const QFont& font);
    ole_color BackColor() const { return m_back_colour; }
    void set_BackColor(ole_color colour);
    ole_color ForeColor() const { return m_fore_colour; }
    void set_ForeColor(ole_color colour);

    std::span<const stored_property> stored_properties() const override;

    void on_resize() override { layout(); }
    void mouse_down(std::int16_t button, std::int16_t shift, float x, float y) override;
    void mouse_up(std::int16_t button, std::int16_t shift, float x, float y) override;

    // The cell `p` shows now (-1 before the first).
    int shown_cell() const { return m_shown_cell; }

    caption_label* lbl() const { return m_lbl; }
    picture_box* p() const { return m_p; }

protected:
    indicator_control(leave_order order, child_move p_move, child_unit p_unit, QWidget* parent,
                      const platform::pointer_source& pointer);

    // The cell for the current value in the given state, or -1 when the
    // value selects none (p then keeps its picture).
    virtual int cell_for(int state) const = 0;
    virtual QImage cell_picture(int cell) const = 0;
    // The Value as the store keeps it, with its default.
    virtual QVariant stored_value() const = 0;
    virtual QVariant default_value() const = 0;
    virtual void apply_stored_value(const QVariant& value) = 0;

    // Stores the value, redraws, tells the host: the Value setter of both.
    void set_value_field(std::int32_t value);
    std::int32_t value_field() const { return m_value; }

    void draw_normal();
    void draw_disabled();
    void show_cell(int cell);
    void layout();

    // Enabled does not tell the host of the change.
    void enabled_changed() override;
    void before_poll() override { set_scale_unit(scale_unit::pixels); }
    void show_tracking_face(bool pressed) override;
    void draw_rest_face() override { draw_normal(); }
    void press_face() override;
    // Around the caption, one pixel clear of it.
    QRect focus_mark_rect() const override;

private:
    void colour_caption();

    caption_label* const m_lbl;
    picture_box* const m_p;
    std::int32_t m_value = 0;
    ole_color m_back_colour = button_face;
    ole_color m_fore_colour = 0;
    int m_shown_cell = -1;
};

} // namespace controls

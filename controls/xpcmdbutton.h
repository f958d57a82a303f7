#pragma once

// xpcmdbutton: the library's push button. Its face, of any size, is painted
// from one cell of a five-cell strip by nine-slice stretching, so the
// 3-pixel border keeps its shape; the caption label sits centred above it.
// The surface works in pixels: every paint puts it there.

#include "platform/toolkit/pictures.h"
#include "platform/toolkit/pointer.h"
#include "controls/caption_label.h"
#include "controls/xp_control.h"

#include <QFont>
#include <array>
#include <cstdint>

namespace controls {

// The nine pieces that cover a W x H client area from an 18 x 21 cell:
// corners at their size, edges stretched along their length, the centre
// both ways. H - 6 goes through a 16-bit integer (ties to even) before use.
std::array<slice_piece, 9> nine_slice_pieces(double W, double H);

class xpcmdbutton : public hover_control {
    Q_OBJECT
public:
    // Drawn with the pictures of `pictures`, taken as it is made; it
    // follows `pointer`, which must outlive it.
    explicit xpcmdbutton(QWidget* parent = nullptr,
                         const platform::picture_source& pictures = platform::embedded_pictures(),
                         const platform::pointer_source& pointer = platform::system_pointer());

    static constexpr int cell_normal = 0;
    static constexpr int cell_pressed = 1;
    static constexpr int cell_disabled = 2;
    static constexpr int cell_hover = 3;
    static constexpr int cell_emphasised = 4;

    // Which rest face to show while the pointer is away: 0 normal, 1
    // emphasised. Other values are kept and reported back but select
    // nothing new.
    std::int32_t State() const { return m_state; }
    void set_State(std::int32_t value);
    static constexpr const char* State_description = "Returns/sets the state of the command button when mouse_out.";

    QString Caption() const { return m_lbl->caption(); }
    void set_Caption(const QString& caption);
    void set_Font(const QFont& font);

    std::span<const stored_property> stored_properties() const override;

    void on_resize() override;
    void on_show() override;
    void mouse_down(std::int16_t button, std::int16_t shift, float x, float y) override;
    void mouse_up(std::int16_t button, std::int16_t shift, float x, float y) override;
    void click() override;
    void access_key() override;

    // The cell last painted, for hosts and tests that ask what is shown.
    int shown_cell() const { return m_shown_cell; }

    caption_label* lbl() const { return m_lbl; }

protected:
    void enabled_changed() override;
    void show_tracking_face(bool pressed) override;
    void draw_rest_face() override { draw_normal(); }
    void press_face() override { draw_cell(cell_pressed); }
    void release_face() override { draw_normal(); }
    // One pixel clear of the three-pixel border, on the face's centre.
    QRect focus_mark_rect() const override { return rect().adjusted(4, 4, -4, -4); }

private:
    void draw_normal();
    void draw_cell(int i);

    caption_label* const m_lbl;
    std::int32_t m_state = 0;
    std::int16_t m_rest_cell = 0;
    QImage m_strip; // `pc`: 1 row x 5 columns
    int m_shown_cell = -1;
};

} // namespace controls

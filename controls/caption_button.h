#pragma once

// What the two title-bar buttons (xptopbuttons, xphelp) have in common: a
// 21 x 21 pixel square that shows one cell of its strip whole, keeps that
// size whatever the host asks, polls the pointer from creation and works
// in pixels throughout. Cell 0 is the normal face, 1 hover, 2 pressed; a
// subclass says where the cells come from and what its release and click
// do.

#include "controls/xp_control.h"

#include "platform/toolkit/pointer.h"

#include <QImage>
#include <cstdint>

namespace controls {

class caption_button : public hover_control {
    Q_OBJECT
public:
    static constexpr int cell_normal = 0;
    static constexpr int cell_hover = 1;
    static constexpr int cell_pressed = 2;

    // 315 twips, 21 pixels at the usual setting: the size of one cell.
    static constexpr double side_twips = 315;

    void on_resize() override;
    // Any button shows the pressed face, before the host hears of the press.
    void mouse_down(std::int16_t button, std::int16_t shift, float x, float y) override;

protected:
    caption_button(QWidget* parent, const platform::pointer_source& pointer);

    virtual QImage cell_picture(int cell) const = 0;
    void draw_cell(int cell);

    void show_tracking_face(bool pressed) override;
    // A disabled button keeps whatever face it has when the pointer leaves.
    void draw_rest_face() override;
};

} // namespace controls

#pragma once

// xpgroupbox: the library's group box, a container for the host's controls
// drawn as a thin light frame with rounded corners and a caption that sits
// on the frame's top line. The frame is cut from one small picture into
// corners and one-pixel lines, so a box of any size keeps its corners.

#include "platform/toolkit/pictures.h"
#include "controls/caption_label.h"
#include "controls/colours.h"
#include "controls/xp_control.h"

#include <array>

namespace controls {

// The eight pieces that frame a W x H box from the 22 x 20 frame picture,
// in painting order: the four corners (top-left, top-right, bottom-right,
// bottom-left), then the top, right, bottom and left lines. The top of the
// frame lies `half` pixels down, through the middle of the caption.
std::array<slice_piece, 8> groupbox_pieces(double W, double H, int half);

class xpgroupbox : public xp_control {
    Q_OBJECT
public:
    // Drawn with the pictures of `pictures`, taken as it is made.
    explicit xpgroupbox(QWidget* parent = nullptr,
                        const platform::picture_source& pictures = platform::embedded_pictures());

    // What a new box is: yellow, so that a box just placed stands out.
    static constexpr ole_color new_back_colour = rgb(255, 255, 0);
    static constexpr ole_color caption_colour = rgb(0, 70, 213);
    // Where the caption starts on the top line, in pixels.
    static constexpr int caption_left = 15;

    QString Caption() const { return m_lbl->caption(); }
    void set_Caption(const QString& caption);
    void set_Font(const QFont& font);
    ole_color BackColor() const { return m_back_colour; }
    void set_BackColor(ole_color colour);

    std::span<const stored_property> stored_properties() const override;

    void on_resize() override { layout(); }
    // Click and DblClick come from the caption only: a click elsewhere on
    // the box is a press and a release, nothing more.
    void child_click(QWidget*) override;
    void child_dbl_click(QWidget*) override;

    caption_label* lbl() const { return m_lbl; }

protected:
    // Colours the caption only; the frame stays as it is.
    void enabled_changed() override;

private:
    void layout();

    caption_label* const m_lbl;
    // The frame picture.
    const QImage m_img;
    ole_color m_back_colour = button_face;
};

} // namespace controls

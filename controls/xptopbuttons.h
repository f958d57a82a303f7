#pragma once

// xptopbuttons: the close, maximize, minimize or restore button of a
// skinned title bar, chosen by Value. Each kind has its own four-cell strip:
// normal, hover, pressed, disabled.

#include "controls/caption_button.h"
#include "platform/toolkit/pictures.h"
#include "platform/toolkit/pointer.h"

#include <array>

namespace controls {

class xptopbuttons : public caption_button {
    Q_OBJECT
public:
    // Drawn with the pictures of `pictures`, taken as it is made; it
    // follows `pointer`, which must outlive it.
    explicit xptopbuttons(QWidget* parent = nullptr,
                          const platform::picture_source& pictures = platform::embedded_pictures(),
                          const platform::pointer_source& pointer = platform::system_pointer());

    static constexpr int cell_disabled = 3;

    // 0 close, 1 maximize, 2 minimize, 3 restore. Any other value is kept
    // and read back, and the button goes on showing the kind it showed.
    std::int32_t Value() const { return m_value; }
    void set_Value(std::int32_t value);

    std::span<const stored_property> stored_properties() const override;

    void on_show() override { draw_normal(); }
    void mouse_up(std::int16_t button, std::int16_t shift, float x, float y) override;
    void click() override;

    // Which of the four strips is in use (0 close ... 3 restore).
    int strip() const { return m_strip; }

protected:
    QImage cell_picture(int cell) const override;
    // Shows the rest face of the strip in use as it stands: a Value not yet
    // drawn (a loaded one before the show) does not take effect here. The
    // host is not told of the change.
    void enabled_changed() override;

private:
    void draw_normal();

    // The strips, indexed like the kinds; most buttons only ever show one.
    std::array<platform::picture_ref, 4> m_pc;
    std::int32_t m_value = 0;
    std::int16_t m_strip = 0;
};

} // namespace controls

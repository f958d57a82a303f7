#pragma once

// xpradiobutton: the library's option button. A 13 x 13 circle drawn from
// eight pictures (selected or not x normal, hover, pressed, disabled),
// followed by its caption. All option buttons of one window form a single
// group, whichever container holds each of them.

#include "controls/indicator_control.h"
#include "platform/toolkit/pictures.h"
#include "platform/toolkit/pointer.h"

#include <array>

namespace controls {

class xpradiobutton : public indicator_control {
    Q_OBJECT
public:
    // Drawn with the pictures of `pictures`, taken as it is made; it
    // follows `pointer`, which must outlive it.
    explicit xpradiobutton(QWidget* parent = nullptr,
                           const platform::picture_source& pictures = platform::embedded_pictures(),
                           const platform::pointer_source& pointer = platform::system_pointer());

    // Setting Value from code changes this button only and raises nothing.
    bool Value() const { return value_field() != 0; }
    void set_Value(bool value) { set_value_field(value ? 1 : 0); }

    // Click first, while every Value still holds what it held; then every
    // option button of the host window is cleared and this one selected.
    void click() override;

protected:
    int cell_for(int state) const override { return 4 * value_field() + state; }
    QImage cell_picture(int cell) const override { return m_img[cell].image(); }
    QVariant stored_value() const override { return Value(); }
    QVariant default_value() const override { return false; }
    void apply_stored_value(const QVariant& value) override { set_Value(value.toBool()); }

private:
    // The eight cells; element n is cell n. A button shows few of them.
    std::array<platform::picture_ref, 8> m_img;
};

} // namespace controls

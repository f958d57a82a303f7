#pragma once

// xpcheckbox: the library's check box, the option button's twin. A 16 x 16
// square cut from a strip of twelve cells, with three values: 0 cleared,
// 1 ticked, 2 mixed. A click turns 0 into 1 and 1 or 2 into 0; only the
// host sets the mixed value.

#include "platform/toolkit/pictures.h"
#include "platform/toolkit/pointer.h"
#include "controls/indicator_control.h"

namespace controls {

class xpcheckbox : public indicator_control {
    Q_OBJECT
public:
    // Drawn with the pictures of `pictures`, taken as it is made; it
    // follows `pointer`, which must outlive it.
    explicit xpcheckbox(QWidget* parent = nullptr,
                        const platform::picture_source& pictures = platform::embedded_pictures(),
                        const platform::pointer_source& pointer = platform::system_pointer());

    // Any integer is kept; one outside 0 to 2 shows no cell, so the
    // indicator keeps the picture it had.
    std::int32_t Value() const { return value_field(); }
    void set_Value(std::int32_t value) { set_value_field(value); }

    void click() override;

protected:
    int cell_for(int state) const override;
    QImage cell_picture(int cell) const override;
    QVariant stored_value() const override { return Value(); }
    QVariant default_value() const override { return 0; }
    void apply_stored_value(const QVariant& value) override { set_Value(value.toInt()); }

private:
    QImage m_strip; // `pc`: 12 rows x 1 column
};

} // namespace controls

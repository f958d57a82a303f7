#pragma once

// xphelp: the question-mark button of a skinned title bar. Three faces
// (normal, hover, pressed) and no disabled one; only the stored data can
// disable it.

#include "platform/toolkit/pictures.h"
#include "platform/toolkit/pointer.h"
#include "controls/caption_button.h"

namespace controls {

class xphelp : public caption_button {
    Q_OBJECT
public:
    // Drawn with the pictures of `pictures`, taken as it is made; it
    // follows `pointer`, which must outlive it.
    explicit xphelp(QWidget* parent = nullptr,
                    const platform::picture_source& pictures = platform::embedded_pictures(),
                    const platform::pointer_source& pointer = platform::system_pointer());

    std::span<const stored_property> stored_properties() const override;

    // The release leaves the pressed face up; the click that follows puts
    // the normal face back before the host hears of it, so the host's
    // handler (which opens a window) runs with the button at rest.
    void click() override;

protected:
    QImage cell_picture(int cell) const override;

private:
    QImage m_pc1;
};

} // namespace controls

#pragma once

// The picture element that shows an indicator cell. It only displays; its
// mouse input is taken over by the owning control (see
// xp_control::forward_input), so that it acts as part of the control's face.

#include <QImage>
#include <QWidget>

namespace controls {

// `p`: one picture at its natural size from the top-left corner of its box.
// Transparent pixels of the picture show the owner's surface.
class picture_box : public QWidget {
public:
    explicit picture_box(QWidget* parent);

    void set_picture(const QImage& picture);
    const QImage& picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QImage m_picture;
};

} // namespace controls

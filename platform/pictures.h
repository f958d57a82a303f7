#pragma once

// The pictures the controls and windows are drawn with. Each is a PNG made
// by the art generator and embedded as a Qt resource, ":/assets/<name>.png",
// by linking the fennimo_assets target. Names follow the elements that show
// them: "cmdbutton", "help", "caption_close", "caption_maximize",
// "caption_minimize", "caption_restore", "checkbox", "option_0" to
// "option_7", "groupbox", "imgtop1", "imgtop2", "imgtopmax1", "imgtopmax2",
// "imgleft1", "imgleft2", "imgright1", "imgright2", "imgbottom1",
// "imgbottom2", "frame_icon", "main_icon".

#include <QImage>
#include <QString>

namespace platform {

// The named picture; a null image when there is none.
QImage picture(const QString& name);

// A named picture that is decoded when it is first shown rather than when
// it is named: a control holds pictures for faces it may never show. What
// it shows is what picture() gave when it was named, a test's stand-in
// included.
class picture_ref {
public:
    picture_ref() = default;
    explicit picture_ref(const QString& name);

    const QImage& image() const;

private:
    QString m_name;
    mutable QImage m_image;
    mutable bool m_decoded = true;
};

// The picture of cell `index` of a strip cut into rows x columns equal
// cells, numbered across a row first (what the sprite cutter gives).
QImage cell_picture(const QImage& strip, int rows, int columns, int index);

} // namespace platform

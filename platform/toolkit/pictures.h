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
// it is named: a control holds pictures for faces it may never show.
class picture_ref {
public:
    picture_ref() = default;
    explicit picture_ref(const QString& name);
    // A picture at hand, shown as it is.
    explicit picture_ref(const QImage& image) : m_image(image) {}

    const QImage& image() const;

private:
    QString m_name;
    mutable QImage m_image;
    mutable bool m_decoded = true;
};

// Where the controls and the window frame take their pictures from: the
// pictures embedded in the program unless they are given others, as a test
// gives pictures that tell cells apart by colour.
class picture_source {
public:
    virtual ~picture_source() = default;
    // The named picture; a null image when there is none.
    virtual QImage picture(const QString& name) const { return platform::picture(name); }
    // The same, decoded when it is first shown.
    virtual picture_ref lazy(const QString& name) const { return picture_ref(name); }
};

// The pictures embedded in the program, which hold no state.
const picture_source& embedded_pictures();

// The picture of cell `index` of a strip cut into rows x columns equal
// cells, numbered across a row first (what the sprite cutter gives).
QImage cell_picture(const QImage& strip, int rows, int columns, int index);

} // namespace platform

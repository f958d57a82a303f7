#pragma once

// The child elements the library's controls are built from: the caption
// label and the picture element that shows an indicator cell. Both only
// display; their mouse input is taken over by the owning control (see
// xp_control::forward_input), so that they act as part of its face.

#include <QImage>
#include <QLabel>
#include <QWidget>
#include <functional>

namespace controls {

// `lbl`: plain text that sizes itself to its text and font.
class caption_label : public QLabel {
public:
    explicit caption_label(QWidget* parent);

    // Sets the text, takes the text's size and reports the change, which
    // the owner answers with a new layout.
    void set_caption(const QString& text);
    QString caption() const { return text(); }
    void set_caption_font(const QFont& font);
    void set_text_colour(const QColor& colour);
    QColor text_colour() const;
    // Opaque labels blank what lies behind them in this colour; transparent
    // ones let the control's surface show through.
    void set_opaque(bool opaque, const QColor& background = {});

    std::function<void()> on_text_changed;
    // The label's access key (the letter after "&") was used; only labels
    // given a buddy take access keys.
    std::function<void()> on_access_key;

protected:
    bool event(QEvent* e) override;
};

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

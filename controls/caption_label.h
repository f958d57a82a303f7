#pragma once

// The caption label of the library's controls. It only displays; its mouse
// input is taken over by the owning control (see xp_control::forward_input),
// so that it acts as part of the control's face.

#include <QLabel>
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

} // namespace controls

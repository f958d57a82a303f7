#pragma once

// A text box whose text lives in a byte model rather than in the widget.
// Programs write the model (whole texts, or a change in place); the
// widget catches up at most once per display period, so a run that appends
// a line per file costs a string append per file and never a repaint.

#include <QTimer>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

class QLineEdit;
class QTextEdit;

namespace widgets {

class line_view;

class text_box : public QWidget {
    Q_OBJECT
public:
    // A multi-line box shows CR LF separated lists, with a vertical scroll
    // bar. A list box is a multi-line box the program writes and the user
    // reads, scrolls and selects in but does not type into: it shows only
    // the lines on the screen, so a list of any length costs no more to show
    // than a screenful.
    enum class kind { single_line, multi_line, list };

    explicit text_box(kind k = kind::single_line, QWidget* parent = nullptr);

    const std::string& Text() const;
    void set_text(std::string text);
    // Changes the text in place, so that adding a line to a long list costs
    // the line and not the list.
    void change_text(const std::function<void(std::string& text)>& change);
    // Adds a line to a CR LF separated list: CR LF unless the text is empty,
    // then the pieces one after another. A run adds a line per file, and
    // this costs it the line's bytes, with no line built on its own first.
    void append_line(std::initializer_list<std::string_view> pieces);
    // Makes room for `bytes` more, so that adding them copies nothing else.
    // The text is as it was.
    void reserve(std::size_t bytes);
    // Grows with every change of the text, by the program or the user.
    std::uint64_t edits() const { return m_edits; }
    // The exact bytes of what the user has selected; empty without a selection.
    std::string SelText() const;

    // Shows the model now instead of at the end of the display period.
    void flush();
    // While held, changes wait in the model; releasing starts a display
    // period. A run holds its lists, which then cost it nothing on screen.
    void hold_display(bool held);
    bool flush_pending() const { return m_flush.isActive(); }
    static constexpr int display_period_ms = 50;

    QLineEdit* line_editor() const { return m_line; }
    QTextEdit* text_editor() const { return m_lines; }
    line_view* list_view() const { return m_list; }
    QWidget* editor() const;

    std::function<void()> on_click;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The model, made ready to be changed in place: what the user typed
    // taken in, and the text the list shows taken back.
    std::string& model_to_change();
    void take_model_back();
    void model_changed();
    void widget_edited();
    bool grows_shown_text() const;
    void space_lines();

    kind m_kind;
    QLineEdit* m_line = nullptr;
    QTextEdit* m_lines = nullptr;
    line_view* m_list = nullptr;
    QTimer m_flush;

    // The model, and the bytes the widget shows (kept so that a selection
    // maps back to exact bytes even while a newer model waits to be shown).
    mutable std::string m_text;
    mutable std::string m_shown;
    // The user has typed since the widget was last filled; the model is read
    // back from the widget when it is next asked for.
    mutable bool m_widget_newer = false;
    // A list box's model has been moved into m_shown, which holds it for
    // both until the model next changes.
    bool m_model_shown = false;
    std::uint64_t m_edits = 0;
    bool m_filling = false;
    bool m_held = false;
    // The screen no longer shows m_shown: the user has typed into it, and
    // what was typed is not yet in the model or was overwritten by the
    // program. The next show fills it whole.
    mutable bool m_screen_stale = false;
};

} // namespace widgets

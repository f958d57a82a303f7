#include "text_box.h"

#include "widgets/line_view.h"
#include "widgets/shown_text.h"

#include <QEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTextBlockFormat>
#include <QTextEdit>
#include <QTextCursor>
#include <QVBoxLayout>
#include <utility>

namespace widgets {

text_box::text_box(kind k, QWidget* parent) : QWidget(parent), m_kind(k)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    if (m_kind == kind::multi_line) {
        // Not a QPlainTextEdit: its lines cannot be spaced, and it scrolls
        // by lines, so a wrapped last line could not be scrolled fully into
        // view.
        m_lines = new QTextEdit(this);
        m_lines->setAcceptRichText(false);
        m_lines->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        m_lines->setLineWrapMode(QTextEdit::WidgetWidth);
        // Lists are written whole by the program; an undo history of them
        // would hold every list ever shown.
        m_lines->setUndoRedoEnabled(false);
        m_lines->viewport()->installEventFilter(this);
        connect(m_lines, &QTextEdit::textChanged, this, &text_box::widget_edited);
        layout->addWidget(m_lines);
    } else if (m_kind == kind::list) {
        m_list = new line_view(this);
        m_list->viewport()->installEventFilter(this);
        layout->addWidget(m_list);
    } else {
        m_line = new QLineEdit(this);
        m_line->installEventFilter(this);
        connect(m_line, &QLineEdit::textChanged, this, &text_box::widget_edited);
        layout->addWidget(m_line);
    }
    setFocusProxy(editor());

    m_flush.setSingleShot(true);
    m_flush.setInterval(display_period_ms);
    connect(&m_flush, &QTimer::timeout, this, &text_box::flush);
}

QWidget* text_box::editor() const
{
    if (m_list)
        return m_list;
    return m_lines ? static_cast<QWidget*>(m_lines) : static_cast<QWidget*>(m_line);
}

const std::string& text_box::Text() const
{
    if (m_widget_newer) {
        m_text = typed_bytes(m_lines ? m_lines->toPlainText() : m_line->text(), m_lines != nullptr);
        m_shown = m_text;
        m_widget_newer = false;
        m_screen_stale = false;
    }
    return m_model_shown ? m_shown : m_text;
}

void text_box::set_text(std::string text)
{
    m_text = std::move(text);
    m_model_shown = false;
    model_changed();
}

std::string& text_box::model_to_change()
{
    if (m_widget_newer || m_model_shown) [[unlikely]]
        take_model_back();
    return m_text;
}

void text_box::take_model_back()
{
    Text();   // take in what the user typed first
    if (std::exchange(m_model_shown, false))
        m_text = m_shown;
}

void text_box::change_text(const std::function<void(std::string&)>& change)
{
    change(model_to_change());
    model_changed();
}

void text_box::append_line(std::initializer_list<std::string_view> pieces)
{
    std::string& text = model_to_change();
    if (!text.empty())
        text += "\r\n";
    for (const std::string_view piece : pieces)
        text += piece;
    model_changed();
}

void text_box::reserve(std::size_t bytes)
{
    std::string& text = model_to_change();
    text.reserve(text.size() + bytes);
}

void text_box::model_changed()
{
    ++m_edits;
    m_widget_newer = false;
    if (m_held)
        return;
    // A one-line box is never written once per file; it shows at once, so
    // typing into it never meets a screen the program has written past.
    if (m_kind == kind::single_line) {
        flush();
        return;
    }
    // The first change of a period starts it; later ones ride along.
    if (!m_flush.isActive())
        m_flush.start();
}

void text_box::hold_display(bool held)
{
    if (held == m_held)
        return;
    m_held = held;
    // The hold ends with the run: what it wrote is shown at once, so the
    // user sees the result without waiting for a display period.
    if (m_held)
        m_flush.stop();
    else
        flush();
}

void text_box::flush()
{
    m_flush.stop();
    // What the user typed and the program has not overwritten stays. Else a
    // screen that shows anything but the model is filled, even when the
    // model is what was last shown: the user may have typed over it since.
    if (m_model_shown || m_widget_newer || (!m_screen_stale && m_shown == m_text))
        return;
    if (m_list) {
        // The list shows the model itself, moved rather than copied: a list
        // of a million paths is held once. The next change of the model
        // starts from a copy (a run or a listing starts from an empty one).
        const bool grew = grows_shown_text();
        m_shown = std::move(m_text);
        m_text = std::string();
        m_model_shown = true;
        m_list->show_bytes(&m_shown, grew);
        return;
    }
    m_filling = true;
    if (m_lines && !m_screen_stale && grows_shown_text()) {
        // A list that only grew since it was last shown gets its new lines
        // added at the end, so showing a list as a run builds it costs the
        // lines once in all, not the whole list at every period.
        QTextCursor end(m_lines->document());
        end.movePosition(QTextCursor::End);
        end.insertText(shown_text(std::string_view(m_text).substr(m_shown.size()), true));
    } else if (m_lines) {
        m_lines->setPlainText(shown_text(m_text, true));
        space_lines();
    } else {
        m_line->setText(shown_text(m_text));
    }
    m_shown = m_text;
    m_screen_stale = false;
    m_filling = false;
}

void text_box::space_lines()
{
    // The Song face has no leading of its own, so the lines of a wrapped
    // paragraph would touch; a quarter of the font's height apart, they read
    // as the system's edit box shows them. Lines added later take the format
    // of the line they follow.
    const int height = m_lines->fontMetrics().height();
    QTextBlockFormat spaced;
    spaced.setLineHeight(height + (height + 3) / 4, QTextBlockFormat::FixedHeight);
    // Spacing is not an edit of the text, and is not reported as one.
    const QSignalBlocker quiet(m_lines);
    QTextCursor all(m_lines->document());
    all.select(QTextCursor::Document);
    all.mergeBlockFormat(spaced);
}

bool text_box::grows_shown_text() const
{
    if (m_shown.empty() || m_text.size() <= m_shown.size() ||
        m_text.compare(0, m_shown.size(), m_shown) != 0)
        return false;
    // The cut must not fall inside a CR LF or inside a character.
    const auto last = static_cast<unsigned char>(m_shown.back());
    const auto next = static_cast<unsigned char>(m_text[m_shown.size()]);
    return last < 0x80 && last != '\r' && (next < 0x80 || next >= 0xc0);
}

void text_box::widget_edited()
{
    if (m_filling)
        return;
    // Whoever's text wins, the screen no longer shows m_shown: until the
    // typing is taken into the model, or the model is shown again, the
    // screen alone holds what it shows.
    m_screen_stale = true;
    // An edit of a screen that the program has written past since (a run
    // holds its lists back) is replaced when the model is shown; taking it
    // would drop the program's lines.
    if (m_text != m_shown)
        return;
    ++m_edits;
    m_widget_newer = true;
    m_flush.stop();
}

std::string text_box::SelText() const
{
    if (m_list) {
        const auto [from, to] = m_list->selected_bytes();
        return m_shown.substr(from, to - from);
    }
    qsizetype start = 0, end = 0;
    if (m_lines) {
        const QTextCursor cursor = m_lines->textCursor();
        start = cursor.selectionStart();
        end = cursor.selectionEnd();
    } else if (m_line->hasSelectedText()) {
        start = m_line->selectionStart();
        end = m_line->selectionEnd();
    }
    if (start >= end)
        return {};
    Text();   // what the user typed is what the widget shows
    // The selection is in the text the widget shows; map it back to the
    // bytes that text came from, so a piece of a name that is not UTF-8
    // comes out exactly.
    const bool crlf = m_lines != nullptr;
    const std::size_t from = byte_offset(m_shown, start, crlf);
    const std::size_t to = byte_offset(m_shown, end, crlf);
    return m_shown.substr(from, to - from);
}

bool text_box::eventFilter(QObject* watched, QEvent* event)
{
    // Click comes with the release, once a drag has finished selecting.
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
        (watched == m_line || (m_lines && watched == m_lines->viewport()) ||
         (m_list && watched == m_list->viewport()))) {
        if (on_click)
            on_click();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace widgets

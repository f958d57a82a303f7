#pragma once

// A light read-only view of a CR LF separated list of byte strings. It lays
// out and paints only the lines on the screen, so showing a list of 100,000
// names costs an index of where each line starts, not a text document of
// them. Long lines wrap at the view's width. The user scrolls, selects any
// piece of the text with the mouse (the selection maps back to the exact
// bytes), selects all and copies.

#include <QAbstractScrollArea>
#include <QTimer>
#include <string>
#include <utility>
#include <vector>

class QTextLayout;

namespace widgets {

class line_view : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit line_view(QWidget* parent = nullptr);

    // Shows `bytes`, which the caller keeps alive and unchanged until the
    // next call. A list that only grew keeps its scroll position and
    // selection; any other starts again at its top with nothing selected.
    // A long list is counted into lines a few megabytes at a time, one
    // piece at each turn of the loop, so its lines appear from the top on.
    void show_bytes(const std::string* bytes, bool grew);

    int line_count() const { return static_cast<int>(m_starts.size()); }
    // Line i as shown: bytes that are not UTF-8 show as U+FFFD.
    QString line(int i) const;
    // Every line as shown, joined by line feeds.
    QString text() const;
    // The first line at the top of the view.
    int top_line() const;

    // The selection as a range of byte offsets into the shown bytes.
    std::pair<std::size_t, std::size_t> selected_bytes() const;
    void select_all();

    // Where the character at `position` (in line i as shown) lies, in the
    // viewport's coordinates; the middle of its height. The line must be on
    // the screen.
    QPoint point_at(int line, int position) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    struct position {
        int line = 0;
        int pos = 0;
        bool operator<(const position& o) const { return line != o.line ? line < o.line : pos < o.pos; }
        bool operator==(const position& o) const = default;
    };

    std::string_view line_bytes(int i) const;
    // Lays line i out at the view's width; answers its height.
    double lay_out(int i, QTextLayout& layout) const;
    position hit(QPoint point) const;
    void update_scroll_range();
    void copy() const;
    // Counts the next piece of the bytes into lines.
    void index_some();

    const std::string* m_bytes = nullptr;
    std::vector<std::size_t> m_starts;
    // How far the bytes were searched for line ends.
    std::size_t m_scanned = 0;
    QTimer* m_index_more;
    position m_anchor, m_cursor;
    bool m_dragging = false;
};

} // namespace widgets

#include "line_view.h"

#include "widgets/shown_text.h"
#include "widgets/shown_text_interface.h"

#include <QAccessibleWidget>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>

namespace widgets {

namespace {

constexpr int margin = 3;
const std::string empty_text;

// A screen reader reads the list as the read-only text it shows. The text
// is built when asked for, which only an assistive tool does.
class line_view_interface : public shown_text_widget {
public:
    explicit line_view_interface(line_view* view) : shown_text_widget(view, QAccessible::EditableText) {}

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        s.readOnly = true;
        s.multiLine = true;
        s.selectableText = true;
        return s;
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? shown() : QAccessibleWidget::text(t);
    }


private:
    QString shown() const override { return static_cast<const line_view*>(widget())->text(); }
};

QAccessibleInterface* make_interface(const QString&, QObject* object)
{
    auto* view = qobject_cast<line_view*>(object);
    return view ? new line_view_interface(view) : nullptr;
}

} // namespace

line_view::line_view(QWidget* parent) : QAbstractScrollArea(parent)
{
    static const bool interfaces = (QAccessible::installFactory(make_interface), true);
    (void)interfaces;
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFocusPolicy(Qt::StrongFocus);
    m_index_more = new QTimer(this);
    m_index_more->setSingleShot(true);
    m_index_more->setInterval(0);
    connect(m_index_more, &QTimer::timeout, this, &line_view::index_some);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setBackgroundRole(QPalette::Base);
    m_bytes = &empty_text;
}

void line_view::show_bytes(const std::string* bytes, bool grew)
{
    m_bytes = bytes ? bytes : &empty_text;
    // A list that grew is indexed from its last line on, which may have
    // grown itself; anything else from the start.
    if (!grew || m_starts.empty()) {
        m_starts.clear();
        m_anchor = m_cursor = {};
        verticalScrollBar()->setValue(0);
        if (!m_bytes->empty())
            m_starts.push_back(0);
    }
    m_scanned = m_starts.empty() ? m_bytes->size() : m_starts.back();
    index_some();
    viewport()->update();
}

void line_view::index_some()
{
    // About two milliseconds of searching.
    constexpr std::size_t piece = std::size_t(4) << 20;
    const std::string& text = *m_bytes;
    const std::size_t until = std::min(text.size(), m_scanned + piece);
    // One byte past the piece, so that a line end split by its edge is found.
    const std::string_view searched(text.data(), std::min(text.size(), until + 1));
    for (auto at = searched.find("\r\n", m_scanned); at != std::string_view::npos; at = searched.find("\r\n", at + 2))
        m_starts.push_back(at + 2);
    m_scanned = std::max(until, m_starts.empty() ? 0 : m_starts.back());
    update_scroll_range();
    if (m_scanned < text.size())
        m_index_more->start();
    else
        m_index_more->stop();
}

std::string_view line_view::line_bytes(int i) const
{
    const std::size_t begin = m_starts[std::size_t(i)];
    std::size_t end = m_bytes->size();
    if (std::size_t(i) + 1 < m_starts.size())
        end = m_starts[std::size_t(i) + 1] - 2;
    else if (m_scanned < end)
        end = std::min(end, m_bytes->find("\r\n", begin));
    return std::string_view(*m_bytes).substr(begin, end - begin);
}

QString line_view::line(int i) const
{
    return shown_text(line_bytes(i));
}

QString line_view::text() const
{
    return shown_text(*m_bytes, true);
}

int line_view::top_line() const
{
    return verticalScrollBar()->value();
}

double line_view::lay_out(int i, QTextLayout& layout) const
{
    layout.setText(line(i));
    layout.setFont(font());
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    const double width = std::max(1, viewport()->width() - 2 * margin);
    double height = 0;
    layout.beginLayout();
    for (QTextLine row = layout.createLine(); row.isValid(); row = layout.createLine()) {
        row.setLineWidth(width);
        row.setPosition(QPointF(0, height));
        height += row.height();
    }
    layout.endLayout();
    return height;
}

void line_view::update_scroll_range()
{
    const int rows = std::max(1, viewport()->height() / std::max(1, fontMetrics().lineSpacing()));
    verticalScrollBar()->setRange(0, std::max(0, line_count() - rows));
    verticalScrollBar()->setPageStep(rows);
    verticalScrollBar()->setSingleStep(1);
}

void line_view::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    update_scroll_range();
}

void line_view::paintEvent(QPaintEvent*)
{
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    const auto [first, last] = std::minmax(m_anchor, m_cursor);
    QTextCharFormat selected;
    selected.setBackground(palette().brush(hasFocus() ? QPalette::Active : QPalette::Inactive, QPalette::Highlight));
    selected.setForeground(palette().brush(hasFocus() ? QPalette::Active : QPalette::Inactive, QPalette::HighlightedText));

    double y = margin;
    for (int i = top_line(); i < line_count() && y < viewport()->height(); ++i) {
        QTextLayout layout;
        const double height = lay_out(i, layout);
        QList<QTextLayout::FormatRange> selections;
        if (first < last && first.line <= i && i <= last.line) {
            const int from = i == first.line ? first.pos : 0;
            const int to = i == last.line ? last.pos : int(layout.text().size());
            selections.append({from, to - from, selected});
        }
        layout.draw(&painter, QPointF(margin, y), selections);
        y += height;
    }
}

line_view::position line_view::hit(QPoint point) const
{
    double y = margin;
    for (int i = top_line(); i < line_count(); ++i) {
        QTextLayout layout;
        const double height = lay_out(i, layout);
        const bool last_on_screen = i + 1 == line_count() || y + height >= viewport()->height();
        if (point.y() < y + height || last_on_screen) {
            const QPointF local(point.x() - margin, std::max(0.0, point.y() - y));
            for (int r = 0; r < layout.lineCount(); ++r) {
                const QTextLine row = layout.lineAt(r);
                if (local.y() < row.rect().bottom() || r + 1 == layout.lineCount())
                    return {i, row.xToCursor(local.x())};
            }
            return {i, 0};
        }
        y += height;
    }
    return {};
}

QPoint line_view::point_at(int line, int position) const
{
    double y = margin;
    for (int i = top_line(); i < line_count(); ++i) {
        QTextLayout layout;
        const double height = lay_out(i, layout);
        if (i == line) {
            const QTextLine row = layout.lineForTextPosition(position);
            const double x = row.cursorToX(position);
            return QPointF(margin + x, y + row.y() + row.height() / 2).toPoint();
        }
        y += height;
    }
    return {};
}

std::pair<std::size_t, std::size_t> line_view::selected_bytes() const
{
    if (m_anchor == m_cursor || m_starts.empty())
        return {0, 0};
    const auto [first, last] = std::minmax(m_anchor, m_cursor);
    const auto at = [this](position p) {
        return m_starts[std::size_t(p.line)] + byte_offset(line_bytes(p.line), p.pos);
    };
    return {at(first), at(last)};
}

void line_view::select_all()
{
    if (m_starts.empty())
        return;
    m_anchor = {};
    m_cursor = {line_count() - 1, int(line(line_count() - 1).size())};
    viewport()->update();
}

void line_view::copy() const
{
    const auto [from, to] = selected_bytes();
    if (from < to)
        QGuiApplication::clipboard()->setText(shown_text(std::string_view(*m_bytes).substr(from, to - from), true));
}

void line_view::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_anchor = m_cursor = hit(event->position().toPoint());
    m_dragging = true;
    viewport()->update();
}

void line_view::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_dragging)
        return;
    m_cursor = hit(event->position().toPoint());
    viewport()->update();
}

void line_view::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
}

void line_view::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        select_all();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

} // namespace widgets

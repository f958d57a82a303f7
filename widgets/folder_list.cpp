#include "folder_list.h"

#include "platform/files/folder_reading.h"
#include "platform/files/separator.h"
#include "widgets/shown_text.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QStyledItemDelegate>

namespace widgets {

namespace {

constexpr int indent_px = 10;

// The two folder pictures, drawn here so that they look the same whatever
// icon theme the desktop has (the offscreen platform has none).
QPixmap folder_picture(bool open)
{
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setPen(QColor(128, 96, 0));
    p.setBrush(QColor(240, 200, 64));
    p.drawRect(1, 2, 6, 2);      // the tab
    p.drawRect(1, 4, 13, 9);     // the back
    if (open) {
        p.setBrush(QColor(255, 232, 128));
        const QPointF front[] = {{3, 7}, {15, 7}, {13, 13}, {1, 13}};
        p.drawPolygon(front, 4);
    }
    return picture;
}

const QIcon& folder_icon(bool open)
{
    static const QIcon open_icon(folder_picture(true));
    static const QIcon closed_icon(folder_picture(false));
    return open ? open_icon : closed_icon;
}

class indent_delegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem shifted = option;
        shifted.rect.adjust(index.data(folder_list_model::level_role).toInt() * indent_px, 0, 0, 0);
        QStyledItemDelegate::paint(painter, shifted, index);
    }
};

std::string child_path(const std::string& folder, const std::string& name)
{
    if (!folder.empty() && folder.back() == platform::path_separator)
        return folder + name;
    return folder + platform::path_separator + name;
}

} // namespace

std::string plain_folder(const std::string& folder)
{
    const auto first = folder.find(platform::path_separator);
    std::string plain = folder;
    while (plain.size() > first + 1 && first != std::string::npos && plain.back() == platform::path_separator)
        plain.pop_back();
    return plain;
}

std::vector<folder_row> folder_rows(const std::string& folder, const std::vector<std::string>& subfolders)
{
    std::vector<folder_row> rows;
    // The root is everything up to its first separator ("/" here, "C:\"
    // where drives have letters); each later part is one level deeper.
    const auto first = folder.find(platform::path_separator);
    std::size_t end = first == std::string::npos ? folder.size() : first + 1;
    rows.push_back({folder.substr(0, end), folder.substr(0, end), 0, true});
    while (end < folder.size()) {
        auto next = folder.find(platform::path_separator, end);
        if (next == std::string::npos)
            next = folder.size();
        if (next > end) {
            rows.push_back({folder.substr(0, next), folder.substr(end, next - end),
                            static_cast<int>(rows.size()), true});
        }
        end = next + 1;
    }
    const int level = static_cast<int>(rows.size());
    for (const auto& name : subfolders)
        rows.push_back({child_path(folder, name), name, level, false});
    return rows;
}

int folder_list_model::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

QVariant folder_list_model::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const folder_row& row = m_rows[static_cast<std::size_t>(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return shown_text(row.name);
    case Qt::DecorationRole:
        return folder_icon(row.open);
    case level_role:
        return row.level;
    default:
        return {};
    }
}

void folder_list_model::set_rows(std::vector<folder_row> rows)
{
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

folder_list::folder_list(QWidget* parent, const platform::file_system& files)
    : QListView(parent), m_model(this), m_files(files)
{
    setModel(&m_model);
    setItemDelegate(new indent_delegate(this));
    setUniformItemSizes(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

bool folder_list::set_path(const std::string& folder)
{
    const std::string plain = plain_folder(folder);
    auto subfolders = platform::list_subfolders(plain, m_files);
    if (!subfolders)
        return false;
    m_previous_path = m_path;
    m_previous_rows = m_model.rows();
    m_path = plain;
    m_model.set_rows(folder_rows(plain, *subfolders));
    select_current();
    if (on_change)
        on_change();
    return true;
}

void folder_list::revert_change()
{
    m_path = m_previous_path;
    m_model.set_rows(m_previous_rows);
    select_current();
}

bool folder_list::open_row(int row)
{
    if (row < 0 || row >= m_model.rowCount())
        return false;
    const std::string path = m_model.rows()[static_cast<std::size_t>(row)].path;
    if (path == m_path)
        return true;
    if (set_path(path))
        return true;
    // The click that aimed at the folder selected its row; the list still
    // shows where it is.
    select_current();
    return false;
}

void folder_list::select_current()
{
    for (std::size_t i = 0; i < m_model.rows().size(); ++i) {
        if (m_model.rows()[i].path == m_path) {
            setCurrentIndex(m_model.index(static_cast<int>(i)));
            return;
        }
    }
}

void folder_list::mouseDoubleClickEvent(QMouseEvent* event)
{
    const QModelIndex index = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && index.isValid()) {
        open_row(index.row());
        return;
    }
    QListView::mouseDoubleClickEvent(event);
}

void folder_list::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentIndex().isValid()) {
        open_row(currentIndex().row());
        return;
    }
    QListView::keyPressEvent(event);
}

} // namespace widgets

#include "file_list.h"

#include "filesystem.h"
#include "shown_text.h"

#include <QKeyEvent>

namespace platform {

int file_list_model::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_names.size());
}

QVariant file_list_model::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
        return {};
    return shown_text(m_names[static_cast<std::size_t>(index.row())]);
}

void file_list_model::set_names(std::vector<std::string> names)
{
    beginResetModel();
    m_names = std::move(names);
    endResetModel();
}

file_list::file_list(QWidget* parent) : QListView(parent), m_model(this)
{
    // Equal rows let the view place a hundred thousand entries without
    // measuring each one.
    setUniformItemSizes(true);
    setModel(&m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    connect(this, &QListView::clicked, this, [this] {
        if (on_click)
            on_click();
    });
}

bool file_list::set_path(const std::string& folder)
{
    auto names = open_and_list(folder, m_folder);
    if (!names)
        return false;
    m_path = folder;
    m_model.set_names(std::move(*names));
    return true;
}

const std::string* file_list::List(std::int32_t index) const
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_model.names().size())
        return nullptr;
    return &m_model.names()[static_cast<std::size_t>(index)];
}

bool file_list::Refresh()
{
    auto names = open_and_list(m_path, m_folder);
    if (!names)
        return false;
    m_model.set_names(std::move(*names));
    return true;
}

rename_result file_list::rename(const std::string& old_path, const std::string& new_path) const
{
    return m_folder.rename_no_replace(old_path, new_path);
}

void file_list::keyPressEvent(QKeyEvent* event)
{
    // Moving through the list with the keyboard picks a file as a click does.
    const QModelIndex before = currentIndex();
    QListView::keyPressEvent(event);
    if (currentIndex() != before && currentIndex().isValid() && on_click)
        on_click();
}

} // namespace platform

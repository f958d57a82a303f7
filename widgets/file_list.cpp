#include "file_list.h"

#include "widgets/shown_text.h"

#include "platform/toolkit/message_loop.h"

#include <QKeyEvent>

namespace widgets {

int file_list_model::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(names().size());
}

QVariant file_list_model::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
        return {};
    return shown_text(names()[static_cast<std::size_t>(index.row())]);
}

void file_list_model::set_folder(platform::listed_folder folder)
{
    beginResetModel();
    m_folder = std::move(folder);
    endResetModel();
}

file_list::file_list(QWidget* parent, const platform::file_system& files)
    : QListView(parent), m_model(this), m_files(files)
{
    // Equal rows let the view place a hundred thousand entries without
    // measuring each one; placing them still takes a pass over all, which a
    // million entries would make one long stall of the window. In batches,
    // the loop turns between them, and the first batch, which holds every
    // row a window shows, is placed at once.
    setUniformItemSizes(true);
    setLayoutMode(QListView::Batched);
    setBatchSize(50000);
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
    // A folder chosen now replaces whatever a Refresh was still reading.
    m_reading.reset();
    return take(platform::listed_folder::read(folder, m_files));
}

bool file_list::take(std::optional<platform::listed_folder> listed)
{
    if (!listed)
        return false;
    // A check under way was of the list this one replaces.
    m_checking.reset();
    m_model.set_folder(std::move(*listed));
    return true;
}

void file_list::finish_reading()
{
    if (auto reading = std::exchange(m_reading, nullptr))
        take(reading->finish());
}

bool file_list::Refresh()
{
    settle();
    const auto reading = std::make_shared<platform::listed_folder::reading>(Path(), m_files);
    m_reading = reading;
    while (!reading->step()) {
        platform::yield();
        // Something read the list, or chose another folder, while the loop
        // ran: the reading is over.
        if (m_reading != reading)
            return true;
    }
    m_reading.reset();
    return take(reading->finish());
}

void file_list::check()
{
    settle();
    const auto checking = std::make_shared<platform::listed_folder::checking>(m_model.folder());
    m_checking = checking;
    while (!checking->step()) {
        platform::yield();
        // Another list, read while the loop ran, is checked by its reading;
        // another check has done this one's work.
        if (m_checking != checking)
            return;
    }
    m_checking.reset();
    checking->finish(m_model.folder());
}

platform::rename_result file_list::rename(const std::string& folder, std::int32_t index, std::string_view old_name,
                                         std::string_view new_name, platform::move_log* log)
{
    settle();
    return m_model.folder().rename(folder, static_cast<std::size_t>(index), old_name, new_name, log);
}

void file_list::keyPressEvent(QKeyEvent* event)
{
    // Moving through the list with the keyboard picks a file as a click does.
    const QModelIndex before = currentIndex();
    QListView::keyPressEvent(event);
    if (currentIndex() != before && currentIndex().isValid() && on_click)
        on_click();
}

} // namespace widgets

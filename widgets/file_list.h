#pragma once

// The file list: the files of one folder, held as the exact bytes of their
// names in a model and shown by a list view, so that a folder of a hundred
// thousand files costs a vector of strings and not a widget per file. Each
// row shows a lossy rendering of its name and maps back to the name by
// index.

#include "platform/files/file_calls.h"
#include "platform/files/listed_folder.h"
#include "platform/files/name_list.h"
#include "platform/files/rename.h"

#include <QAbstractListModel>
#include <QListView>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace widgets {

class file_list_model : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    const platform::listed_folder& folder() const { return m_folder; }
    platform::listed_folder& folder() { return m_folder; }
    const platform::name_list& names() const { return m_folder.entries(); }
    void set_folder(platform::listed_folder folder);

private:
    platform::listed_folder m_folder;
};

class file_list : public QListView {
    Q_OBJECT
public:
    // The folders are opened on `files`, which must outlive the list.
    explicit file_list(QWidget* parent = nullptr, const platform::file_system& files = platform::kernel_files());

    const std::string& Path() const { return m_model.folder().path(); }
    // Reads the folder; one that cannot be read leaves the path and the
    // entries as they were, and answers false.
    bool set_path(const std::string& folder);
    std::int32_t ListCount()
    {
        settle();
        return static_cast<std::int32_t>(m_model.names().size());
    }
    // Nothing past the end.
    std::optional<std::string_view> List(std::int32_t index)
    {
        settle();
        const auto& names = m_model.names();
        if (index < 0 || static_cast<std::size_t>(index) >= names.size())
            return std::nullopt;
        return names[static_cast<std::size_t>(index)];
    }
    // Reads the folder again. A large folder is read in pieces, with the
    // message loop running between them; whatever reads or changes the list
    // meanwhile finishes the reading first, so that it sees the folder as
    // read now, as it would had the reading not let the loop run.
    bool Refresh();
    // Checks the list against the folder as it is now before a run renames
    // from it, in pieces with the message loop running between them, as
    // Refresh reads. A list read meanwhile is new and needs no check.
    void check();
    // The descriptor the renames of `folder` go through, or -1.
    int held_folder(const std::string& folder) const { return m_model.folder().held_for(folder); }
    // Renames the entry `index`, `old_name`, in the folder as it was last
    // read and checked, never replacing a file; each move is told to `log`
    // before it is made.
    platform::rename_result rename(const std::string& folder, std::int32_t index, std::string_view old_name,
                                   std::string_view new_name, platform::move_log* log = nullptr);

    const file_list_model& model_of_names() const { return m_model; }

    std::function<void()> on_click;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Finishes a reading that Refresh left between two pieces. A run asks
    // for an entry per file, so the common case, no reading, is inline.
    void settle()
    {
        if (m_reading)
            finish_reading();
    }
    void finish_reading();
    bool take(std::optional<platform::listed_folder> listed);

    file_list_model m_model;
    const platform::file_system& m_files;
    std::shared_ptr<platform::listed_folder::reading> m_reading;
    std::shared_ptr<platform::listed_folder::checking> m_checking;
};

} // namespace widgets

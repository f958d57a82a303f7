#pragma once

// The folder list in its classic form: the current folder's ancestors from
// the root down, the current folder open, then its subfolders, each level
// indented one step further. A double-click or Enter opens a folder.
// Folder names are bytes like file names; rows show them lossily and map
// back to their full paths by index.

#include "platform/files/file_calls.h"

#include <QAbstractListModel>
#include <QListView>
#include <functional>
#include <string>
#include <vector>

namespace widgets {

struct folder_row {
    std::string path;   // full path, the exact bytes
    std::string name;   // what the row shows: the root whole, others their last part
    int level = 0;
    bool open = false;  // an ancestor or the current folder
};

// The rows for a folder and its subfolders, in the order the list shows them.
std::vector<folder_row> folder_rows(const std::string& folder, const std::vector<std::string>& subfolders);

// A folder path with any separator at its end dropped (a root keeps its own).
std::string plain_folder(const std::string& folder);

class folder_list_model : public QAbstractListModel {
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    static constexpr int level_role = Qt::UserRole + 1;

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    const std::vector<folder_row>& rows() const { return m_rows; }
    void set_rows(std::vector<folder_row> rows);

private:
    std::vector<folder_row> m_rows;
};

class folder_list : public QListView {
    Q_OBJECT
public:
    // The folders are listed on `files`, which must outlive the list.
    explicit folder_list(QWidget* parent = nullptr, const platform::file_system& files = platform::kernel_files());

    const std::string& Path() const { return m_path; }
    // Goes to a folder and raises Change, also when the program writes the
    // path. A folder whose subfolders cannot be read leaves the list as it
    // was, raises nothing and answers false.
    bool set_path(const std::string& folder);
    // Back to the folder before the last change, with its rows as they were,
    // without raising Change: for a host that could not follow the change.
    void revert_change();

    const folder_list_model& rows_model() const { return m_model; }
    // Opens the folder of a row, as a double-click on it does.
    bool open_row(int row);

    std::function<void()> on_change;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void select_current();

    folder_list_model m_model;
    const platform::file_system& m_files;
    std::string m_path;
    std::string m_previous_path;
    std::vector<folder_row> m_previous_rows;
};

} // namespace widgets

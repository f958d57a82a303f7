#pragma once

// The drive list. A "drive" here is the mount point of a real file system,
// "/" first. Drive is the one the user chose; Change follows each choice of
// a different drive.

#include <QComboBox>
#include <functional>
#include <string>
#include <vector>

namespace widgets {

class drive_list : public QComboBox {
    Q_OBJECT
public:
    // Offers the system's drives and selects the one that holds `folder`.
    explicit drive_list(const std::string& folder = {}, QWidget* parent = nullptr);

    const std::string& Drive() const { return m_drive; }
    const std::vector<std::string>& drives() const { return m_drives; }
    // The drives to offer, the system's by default, with the one holding
    // `folder` selected, without raising Change.
    void set_drives(std::vector<std::string> drives, const std::string& folder);
    // Selects a drive as the user would, raising Change when it differs.
    bool choose(const std::string& drive);
    // Back to the drive before the last change, without raising Change.
    void revert_change();

    std::function<void()> on_change;

private:
    void chosen(int index);
    void show_selection();

    std::vector<std::string> m_drives;
    std::string m_drive;
    std::string m_previous;
};

// The drive among `drives` that holds `folder`: the longest one that is the
// folder itself or one of its ancestors.
std::string drive_of(const std::string& folder, const std::vector<std::string>& drives);

} // namespace widgets

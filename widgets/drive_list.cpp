#include "drive_list.h"

#include "platform/filesystem.h"
#include "widgets/shown_text.h"

#include <algorithm>

namespace widgets {

std::string drive_of(const std::string& folder, const std::vector<std::string>& drives)
{
    std::string best;
    for (const auto& drive : drives) {
        const bool holds = folder.compare(0, drive.size(), drive) == 0 &&
                           (folder.size() == drive.size() || drive.back() == platform::path_separator ||
                            folder[drive.size()] == platform::path_separator);
        if (holds && drive.size() > best.size())
            best = drive;
    }
    return best.empty() && !drives.empty() ? drives.front() : best;
}

drive_list::drive_list(const std::string& folder, QWidget* parent) : QComboBox(parent)
{
    connect(this, &QComboBox::activated, this, &drive_list::chosen);
    set_drives(platform::list_drives(), folder);
}

void drive_list::set_drives(std::vector<std::string> drives, const std::string& folder)
{
    m_drives = std::move(drives);
    m_drive = drive_of(folder, m_drives);
    m_previous = m_drive;
    clear();
    for (const auto& drive : m_drives)
        addItem(shown_text(drive));
    show_selection();
}

bool drive_list::choose(const std::string& drive)
{
    const auto found = std::find(m_drives.begin(), m_drives.end(), drive);
    if (found == m_drives.end())
        return false;
    chosen(static_cast<int>(found - m_drives.begin()));
    return true;
}

void drive_list::chosen(int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= m_drives.size())
        return;
    setCurrentIndex(index);
    if (m_drives[static_cast<std::size_t>(index)] == m_drive)
        return;
    m_previous = m_drive;
    m_drive = m_drives[static_cast<std::size_t>(index)];
    if (on_change)
        on_change();
}

void drive_list::revert_change()
{
    m_drive = m_previous;
    show_selection();
}

void drive_list::show_selection()
{
    const auto found = std::find(m_drives.begin(), m_drives.end(), m_drive);
    setCurrentIndex(found == m_drives.end() ? -1 : static_cast<int>(found - m_drives.begin()));
}

} // namespace widgets

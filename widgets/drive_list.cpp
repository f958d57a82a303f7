#include "drive_list.h"

#include "platform/files/mounts.h"
#include "platform/files/separator.h"
#include "widgets/shown_text.h"
#include "widgets/shown_text_interface.h"

#include <QAbstractItemView>
#include <QAccessibleWidget>
#include <algorithm>

namespace widgets {

namespace {

// A screen reader hears the drive box as a combo box named by its purpose,
// with the drive it shows as its value and as its text. Qt's own interface
// names a combo box by its text on Linux, so the box was read as "/".
class drive_list_interface : public shown_text_widget {
public:
    explicit drive_list_interface(drive_list* box) : shown_text_widget(box, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Value ? shown() : QAccessibleWidget::text(t);
    }

    // The list it drops down, as Qt's own combo box has it.
    int childCount() const override { return 1; }
    QAccessibleInterface* child(int index) const override
    {
        return index == 0 ? QAccessible::queryAccessibleInterface(box()->view()) : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return child && child->object() == box()->view() ? 0 : -1;
    }

    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& name) override
    {
        if (name == showMenuAction() || name == pressAction())
            box()->showPopup();
    }


private:
    drive_list* box() const { return static_cast<drive_list*>(widget()); }
    QString shown() const override { return box()->currentText(); }
};

QAccessibleInterface* make_drive_list_interface(const QString&, QObject* object)
{
    auto* box = qobject_cast<drive_list*>(object);
    return box ? new drive_list_interface(box) : nullptr;
}

} // namespace

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
    static const bool interfaces = (QAccessible::installFactory(make_drive_list_interface), true);
    (void)interfaces;
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

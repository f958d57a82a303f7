#include "combo_box.h"

#include "widgets/shown_text.h"

#include <QFocusEvent>
#include <QAbstractItemView>

namespace widgets {

combo_box::combo_box(QWidget* parent) : QComboBox(parent)
{
    setEditable(true);
    // Choosing an item or pressing Enter must not grow the list.
    setInsertPolicy(QComboBox::NoInsert);
    // What the user types stays as typed: no item completes it.
    setCompleter(nullptr);
    const auto changed = [this] {
        m_text_stale = true;
        ++m_edits;
    };
    connect(this, &QComboBox::editTextChanged, this, changed);
    connect(this, &QComboBox::currentTextChanged, this, changed);
}

const std::string& combo_box::Text() const
{
    if (m_text_stale) {
        m_text = typed_bytes(currentText());
        m_text_stale = false;
    }
    return m_text;
}

void combo_box::set_text(const std::string& text)
{
    setEditText(shown_text(text));
}

void combo_box::set_items(const std::vector<std::string>& items)
{
    const QString text = currentText();
    clear();
    for (const auto& item : items)
        addItem(shown_text(item));
    setEditText(text);
}

void combo_box::focusOutEvent(QFocusEvent* event)
{
    QComboBox::focusOutEvent(event);
    // Opening the drop-down list, a modal box or another application takes
    // the focus without the user leaving the box.
    const auto reason = event->reason();
    if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
        return;
    if (m_lost_focus_pending)
        return;
    m_lost_focus_pending = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            m_lost_focus_pending = false;
            // The drop-down list moves the focus inside itself as it opens;
            // the user has left the box only if the focus is elsewhere now.
            if (hasFocus() || view()->isVisible())
                return;
            if (on_lost_focus)
                on_lost_focus();
        },
        Qt::QueuedConnection);
}

} // namespace widgets

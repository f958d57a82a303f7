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
    // The drop-down list moves the focus inside itself as it opens; the user
    // has left the box only if the list is closed.
    if (view()->isVisible())
        return;
    // Raised here, inside the focus change, so that its effects are in place
    // before the control that took the focus handles the press that moved
    // it: a quick click's release comes right after.
    if (on_lost_focus)
        on_lost_focus();
}

} // namespace widgets

#pragma once

// An editable combo box with its design-time items, whose LostFocus is
// raised only when the focus moves on to another control of the window.
// The event is raised from inside the focus change, before the new control
// sees the press or key that moved the focus; a handler must not open a
// modal box there, but leave it to the message loop.

#include <QComboBox>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace widgets {

class combo_box : public QComboBox {
    Q_OBJECT
public:
    explicit combo_box(QWidget* parent = nullptr);

    // Runs read the text once per file, so it is kept as bytes and taken
    // from the widget again only after an edit.
    const std::string& Text() const;
    void set_text(const std::string& text);
    void set_items(const std::vector<std::string>& items);
    // Grows with every change of the text, by the program or the user.
    std::uint64_t edits() const { return m_edits; }

    std::function<void()> on_lost_focus;

protected:
    void focusOutEvent(QFocusEvent* event) override;

private:
    mutable std::string m_text;
    mutable bool m_text_stale = true;
    std::uint64_t m_edits = 0;
};

} // namespace widgets

#pragma once

// The text interface a screen reader reads a control's shown text through,
// for controls that show a text the user reads but does not edit in place:
// the whole text, no selection and no caret of its own.

#include <QAccessibleInterface>
#include <QAccessibleWidget>
#include <QRect>
#include <QString>

namespace widgets {

class shown_text_interface : public QAccessibleTextInterface {
public:
    QString text(int start, int end) const override { return shown().mid(start, end - start); }
    int characterCount() const override { return static_cast<int>(shown().size()); }
    QString attributes(int, int* start, int* end) const override
    {
        *start = 0;
        *end = characterCount();
        return {};
    }
    // The selection and the caret are the mouse's; a screen reader reads.
    void selection(int, int* start, int* end) const override { *start = *end = 0; }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override {}

protected:
    // Built when asked for, which only an assistive tool does.
    virtual QString shown() const = 0;
};

// A widget's accessible interface that offers its shown text as above.
class shown_text_widget : public QAccessibleWidget, public shown_text_interface {
public:
    shown_text_widget(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role) {}

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
};

} // namespace widgets

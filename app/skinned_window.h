#pragma once

// What the program's two windows share: a borderless top-level window
// whose whole client area is the window frame xp_canvas1, the container of
// every other control; a property store holding the design values its
// skinned controls load from; and the plain labels it writes on.

#include "frame/xp_canvas.h"
#include "platform/toolkit/property_store.h"

#include <QColor>
#include <QFont>
#include <QRect>
#include <QVariant>
#include <initializer_list>
#include <utility>

class QLabel;

namespace renamer {

class skinned_window : public QWidget {
    Q_OBJECT
public:
    frame::xp_canvas& xp_canvas1() { return *m_canvas; }
    platform::property_store& store() { return m_store; }

protected:
    // A window of the given client size in twips, owned by `owner` when it
    // has one. The frame is its first control; its design values are the
    // caption and, when not null, the icon.
    skinned_window(int width_twips, int height_twips, const QString& caption, const QImage& icon,
                   QWidget* owner);

    using design_values = std::initializer_list<std::pair<const char*, QVariant>>;
    // Places a skinned control at its rectangle in twips within `container`
    // and loads it from its bag in the window's store, which is first given
    // the design values.
    template <class Control>
    Control* load_control(const char* name, QWidget* container, QRect twips, design_values values)
    {
        auto* control = new Control(container);
        control->setObjectName(QString::fromLatin1(name));
        place(control, twips);
        control->place(&design_bag(name, values), controls::placement::load);
        return control;
    }

    // A transparent label, in the window's font unless told otherwise.
    QLabel* make_label(const QString& text, QWidget* container, QRect twips, QColor colour = Qt::black,
                       const QFont& font = {});

    static void place(QWidget* control, QRect twips);
    // For the windows the main window opens: Escape closes them, as their
    // caption's close button does, which then takes no focus of its own.
    void close_on_escape(QWidget& close_button);
    void centre_in(const QRect& area);

    void resizeEvent(QResizeEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    platform::property_bag& design_bag(const char* name, design_values values);
    void reshape();

    platform::property_store m_store;
    frame::xp_canvas* m_canvas;
};

} // namespace renamer

#pragma once

// Form2, the help window: a fixed help text under a one-line banner, in the
// skinned frame, closed by its own close button. It is not modal; closing it
// discards it, so the next showing starts afresh.

#include "skinned_window.h"

#include "controls/xptopbuttons.h"
#include "widgets/text_box.h"

#include <QLabel>

namespace renamer {

// The help text, lines joined by CR LF.
std::string help_text();

class Form2 : public skinned_window {
    Q_OBJECT
public:
    // Centred on its owner.
    explicit Form2(QWidget* owner);

    controls::xptopbuttons& xptopbuttons1() { return *m_xptopbuttons1; }
    widgets::text_box& Text1() { return *m_Text1; }
    QLabel& Label1() { return *m_Label1; }

private:
    controls::xptopbuttons* m_xptopbuttons1;
    widgets::text_box* m_Text1;
    QLabel* m_Label1;
};

} // namespace renamer

#pragma once

#include <QString>
#include <memory>

class QMessageBox;

namespace platform {

// The boxes a window reports and asks in. A window is given the toolkit's
// modal boxes unless it is given others: a test gives its own, so that no
// test ever waits on a modal dialog.
class message_boxes {
public:
    virtual ~message_boxes() = default;
    // Shows a message with an OK button only, titled `title`, and returns
    // when it is closed.
    virtual void message(const QString& text, const QString& title);
    // Asks a question with Yes and No buttons, titled `title`; true when the
    // user answers Yes. Closing the box answers No.
    virtual bool question(const QString& text, const QString& title);
};

// The toolkit's modal boxes, which hold no state.
message_boxes& modal_boxes();

// The box both of them show, not yet shown. Its text is always plain: it
// may hold file names, and a name is never markup.
std::unique_ptr<QMessageBox> make_box(const QString& text, bool question);

QString application_title();

} // namespace platform

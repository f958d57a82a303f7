#pragma once

#include <QString>
#include <functional>
#include <memory>

class QMessageBox;

namespace platform {

// Shows a message with an OK button only, titled with the application's
// title, and returns when it is closed.
void message_box(const QString& text);

// Asks a question with Yes and No buttons, titled like the message box;
// true when the user answers Yes. Closing the box answers No.
bool question_box(const QString& text);

// The box both of them show, not yet shown. Its text is always plain: it
// may hold file names, and a name is never markup.
std::unique_ptr<QMessageBox> make_box(const QString& text, bool question);

QString application_title();

} // namespace platform

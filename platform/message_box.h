#pragma once

#include <QString>
#include <functional>

namespace platform {

// Shows a message with an OK button only, titled with the application's
// title, and returns when it is closed.
void message_box(const QString& text);

// Tests replace the box, so that no test ever waits on a modal dialog. The
// hook receives the text and the title the box would show.
void set_message_box_hook(std::function<void(const QString& text, const QString& title)> hook);

QString application_title();

} // namespace platform

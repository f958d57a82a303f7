#pragma once

#include <QString>
#include <functional>

namespace platform {

// Shows a message with an OK button only, titled with the application's
// title, and returns when it is closed.
void message_box(const QString& text);

QString application_title();

} // namespace platform

#pragma once

// Message boxes that a test answers: each message and question goes to the
// test's function, with the text and the title the box would show. Without
// a function, the toolkit's modal box is shown, as the program shows it.

#include "platform/toolkit/message_box.h"

#include <functional>

namespace fixture {

class scripted_boxes final : public platform::message_boxes {
public:
    std::function<void(const QString& text, const QString& title)> on_message;
    std::function<bool(const QString& text, const QString& title)> on_question;

    void message(const QString& text, const QString& title) override
    {
        if (on_message)
            on_message(text, title);
        else
            message_boxes::message(text, title);
    }
    bool question(const QString& text, const QString& title) override
    {
        return on_question ? on_question(text, title) : message_boxes::question(text, title);
    }
    void reset() { *this = scripted_boxes(); }
};

} // namespace fixture

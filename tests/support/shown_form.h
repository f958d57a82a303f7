#pragma once

// The real main window on a fresh folder, shown offscreen, and a click that
// goes through the window as a user's does. For tests that link the windows.

#include "app/main_window.h"

#include "folder_fixture.h"

#include "platform/files/file_calls.h"
#include "platform/toolkit/message_box.h"

#include <QtTest>
#include <memory>

// A press and a release through the window, so the control that is really
// on top at that point gets them.
inline void click_at(QWidget& control, QPoint at = {})
{
    QWidget* window = control.window();
    const QPoint local = at.isNull() ? control.rect().center() : at;
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, control.mapTo(window, local));
}

// Lets the window's loop turn until the run under way, if any, has ended.
inline void finish_run(const renamer::Form3& w)
{
    while (w.running())
        QCoreApplication::processEvents();
}

struct shown_form {
    std::unique_ptr<byte_named_dir> dir = fixture::make_folder();
    std::unique_ptr<renamer::Form3> form;

    // The form reports and asks in `boxes`.
    explicit shown_form(const std::vector<std::string>& names = {},
                        platform::message_boxes& boxes = platform::modal_boxes())
        : shown_form(names, platform::kernel_files(), boxes)
    {
    }
    // The same with every file call of the form made on `files`.
    shown_form(const std::vector<std::string>& names, const platform::file_system& files,
               platform::message_boxes& boxes)
    {
        fixture::make_files(dir->path(), names);
        form = std::make_unique<renamer::Form3>(dir->path(), files, boxes);
        form->show();
        if (!QTest::qWaitForWindowExposed(form.get()))
            qFatal("the main window was not shown");
    }
    std::string folder() const { return dir->path(); }
};

#include "browsing.h"

#include "core/rules.h"

namespace renamer {

void fill_file_lists(window_controls& window)
{
    window.set_text(text_id::Text1, {});
    window.set_text(text_id::Text2, {});
    const std::string& folder = window.file_path();
    const std::int32_t count = window.list_count();
    path_list paths(window);
    make_room_for_lines(window, text_id::Text1, count, folder.size() + 1);
    for (std::int32_t i = 0; i < count; ++i) {
        if (const auto name = window.list_entry(i))
            paths.add(folder, *name);
    }
    make_room_for_lines(window, text_id::Text2, count, 0);
    for (std::int32_t i = 0; i < count; ++i) {
        if (const auto name = window.list_entry(i))
            window.append_line(text_id::Text2, {*name});
    }
    paths.finish();
}

void drive1_change(window_controls& window)
{
    const std::string drive = window.drive();
    // Writing Dir1's path raises its Change, which fills the lists for the
    // new folder; they are filled once more here, with the same result. A
    // drive the window could not move to leaves everything as it was.
    if (!window.set_folder_path(drive) || window.folder_path() != drive) {
        window.revert_drive();
        return;
    }
    fill_file_lists(window);
}

void dir1_change(window_controls& window)
{
    // A folder that went away or cannot be read keeps the previous folder
    // and both lists as they were.
    if (!window.set_file_path(window.folder_path())) {
        window.revert_folder();
        return;
    }
    fill_file_lists(window);
}

void file1_click(window_controls& window)
{
    fill_file_lists(window);
}

void text2_click(window_controls& window)
{
    window.set_text(text_id::Text3, window.selected_text(text_id::Text2));
}

void replacement_click(window_controls& window)
{
    window.set_check_value(check_id::Check1, false);
    window.set_check_value(check_id::Check2, false);
    window.set_check_value(check_id::Check3, false);
}

void option_click(window_controls& window)
{
    window.set_text(text_id::Text3, {});
    window.set_text(text_id::Text4, {});
}

void combo1_lost_focus(window_controls& window)
{
    if (window.text(text_id::Combo1).find('*') != std::string::npos)
        return;
    // The user reads why first, with the pattern still in view, and the
    // window changes once the box is answered.
    window.show_message(pattern_message);
    window.set_check_value(check_id::Check2, false);
    window.set_text(text_id::Combo1, default_pattern);
}

} // namespace renamer

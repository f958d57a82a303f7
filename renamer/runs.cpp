#include "runs.h"

#include "rules.h"

namespace renamer {

rename_options read_options(window_controls& window)
{
    rename_options options;
    options.must_contain = window.text(text_id::Text5);
    options.must_not_contain = window.text(text_id::Text6);
    options.change_extension = window.check_value(check_id::Check3);
    options.new_extension = window.text(text_id::zztt);
    options.strip_extension = window.check_value(check_id::Check1);
    options.use_pattern = window.check_value(check_id::Check2);
    options.pattern = window.text(text_id::Combo1);
    options.replace_what = window.text(text_id::Text3);
    options.replace_with = window.text(text_id::Text4);
    return options;
}

namespace {

// Yield; record the position; yield again: the timer sees the index at
// either yield.
void advance(window_controls& window, std::int32_t index)
{
    window.yield();
    window.run_index = index;
    window.yield();
}

// The start both runs share: the timer on, the result lists empty, the bar
// sized to the list.
void begin_run(window_controls& window)
{
    window.set_timer_enabled(true);
    window.set_text(text_id::Text1, {});
    window.set_text(text_id::Text2, {});
    // Fewer than two files make a maximum the bar refuses; it keeps its old one.
    window.set_bar_max(static_cast<float>(window.list_count() - 1));
    window.run_index = 0;
}

} // namespace

void rename_run(window_controls& window)
{
    begin_run(window);

    const std::int32_t count = window.list_count();
    for (std::int32_t i = 0; i < count; ++i) {
        // Inputs are read per file, so an edit made while the run yields
        // takes effect from the next file on.
        const auto name = window.list_entry(i);
        if (name) {
            const auto new_name = make_new_name(read_options(window), *name, i);
            if (new_name) {
                const std::string folder = window.file_path();
                window.rename_file(join_path(folder, *name), join_path(folder, *new_name));
            }
        }
        advance(window, i);
    }

    window.refresh();

    // The result lists show the folder as it is now; the filters are applied
    // to the new names, with the inputs read anew.
    window.run_index = 0;
    const std::int32_t listed = window.list_count();
    for (std::int32_t i = 0; i < listed; ++i) {
        if (const auto name = window.list_entry(i);
            name && passes_filters(read_options(window), *name))
            window.append_line(text_id::Text1, listing_line(window.file_path(), *name));
        advance(window, i);
    }

    window.run_index = 0;
    const std::int32_t named = window.list_count();
    for (std::int32_t i = 0; i < named; ++i) {
        if (const auto name = window.list_entry(i)) {
            const auto options = read_options(window);
            if (passes_filters(options, *name))
                window.append_line(text_id::Text2,
                                   replace_all(*name, options.replace_what, options.replace_with));
        }
        advance(window, i);
    }

    window.set_text(text_id::Text1, collapse_double_backslash(window.text(text_id::Text1)));
    window.run_index = 0;
    window.set_timer_enabled(false);
    window.run_index = 0;
}

namespace {

// A file a replacement would touch: it passes the filters and holds the text
// to replace, exactly as typed. Only the three inputs that decide it are read,
// anew for each file.
bool query_matches(window_controls& window, const std::string& name)
{
    rename_options options;
    options.must_contain = window.text(text_id::Text5);
    options.must_not_contain = window.text(text_id::Text6);
    return passes_filters(options, name) &&
           name.find(window.text(text_id::Text3)) != std::string::npos;
}

} // namespace

void query_run(window_controls& window)
{
    begin_run(window);

    const std::int32_t named = window.list_count();
    for (std::int32_t i = 0; i < named; ++i) {
        if (const auto name = window.list_entry(i); name && query_matches(window, *name))
            window.append_line(text_id::Text2, *name);
        advance(window, i);
    }

    window.run_index = 0;
    const std::int32_t listed = window.list_count();
    for (std::int32_t i = 0; i < listed; ++i) {
        if (const auto name = window.list_entry(i); name && query_matches(window, *name))
            window.append_line(text_id::Text1, listing_line(window.file_path(), *name));
        advance(window, i);
    }

    window.set_text(text_id::Text1, collapse_double_backslash(window.text(text_id::Text1)));
    window.set_bar_value(0);
    window.set_timer_enabled(false);
}

void timer_tick(window_controls& window)
{
    window.set_bar_value(static_cast<float>(window.run_index));
}

} // namespace renamer

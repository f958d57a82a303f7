#include "window_runs.h"

#include "core/journal.h"
#include "core/rules.h"
#include "core/undo.h"

#include <algorithm>
#include <string>

namespace renamer {

namespace {

std::uint64_t listed_files(window_controls& window)
{
    return static_cast<std::uint64_t>(std::max(window.list_count(), 0));
}

// A window's run empties its result lists before it starts.
void begin_window_run(window_controls& window, std::uint64_t first_pass)
{
    window.set_text(text_id::Text1, {});
    window.set_text(text_id::Text2, {});
    window.run_started(first_pass);
}

// The end a rename and an undo share, once the file list shows the folder
// as it is now: the result lists, with the filters applied to the names as
// they are and the inputs read anew; then the timer off and the report, if
// there is one.
run_job finish_run(window_controls& window, run_outcomes outcomes, run_kind kind)
{
    window.at_file(0);
    path_list paths(window);
    const std::int32_t listed = window.list_count();
    make_room_for_lines(window, text_id::Text1, listed, window.file_path().size() + 1);
    for (std::int32_t i = 0; i < listed; ++i) {
        if (const auto name = window.list_entry(i); name && passes_filters(window.read_text_inputs(), *name))
            paths.add(window.file_path(), *name);
        window.at_file(i);
        co_yield file_done{};
    }

    window.at_file(0);
    // One buffer for every replaced name; the box copies each line in.
    std::string replaced;
    const std::int32_t named = window.list_count();
    make_room_for_lines(window, text_id::Text2, named, 0);
    for (std::int32_t i = 0; i < named; ++i) {
        if (const auto name = window.list_entry(i)) {
            const auto& options = window.read_text_inputs();
            if (passes_filters(options, *name)) {
                replaced.clear();
                append_replaced(replaced, *name, options.replace_what, options.replace_with);
                window.append_line(text_id::Text2, {replaced});
            }
        }
        window.at_file(i);
        co_yield file_done{};
    }

    paths.finish();
    window.run_ended();

    window.report(outcomes, kind);
    co_return outcomes;
}

// Waits on work on the list a piece per step, as a pass goes a file per step.
run_job in_pieces(std::unique_ptr<list_work> work)
{
    while (work && !work->step())
        co_yield file_done{};
    co_return std::nullopt;
}

} // namespace

run_job rename_job(window_controls& window)
{
    begin_window_run(window, listed_files(window));
    // The list may be minutes old.
    co_await in_pieces(window.checking_list());
    journal_writer journal;
    run_outcomes outcomes = *co_await rename_pass(window.parts(), &journal);
    co_await in_pieces(window.refreshing());
    co_return co_await finish_run(window, std::move(outcomes), run_kind::rename);
}

run_outcomes rename_run(window_controls& window)
{
    return *run_to_end(rename_job(window));
}

run_job undo_job(window_controls& window)
{
    run_undo undo(runs_folder(), window.file_system());
    if (!undo_agreed(window, undo))
        co_return run_outcomes{};
    begin_window_run(window, undo.files());
    std::optional<run_outcomes> outcomes = co_await undo_pass(window, undo);
    if (undo.run().text.folder == window.file_path())
        co_await in_pieces(window.refreshing());
    // The passes over the list move the bar over the list, as in a run.
    window.set_bar_max(static_cast<float>(window.list_count() - 1));
    co_return co_await finish_run(window, std::move(*outcomes), run_kind::undo);
}

run_outcomes undo_run(window_controls& window)
{
    return *run_to_end(undo_job(window));
}

namespace {

// A file a replacement would touch: it passes the filters and holds the text
// to replace, exactly as typed.
bool query_matches(window_controls& window, std::string_view name)
{
    const auto& options = window.read_text_inputs();
    return passes_filters(options, name) &&
           (options.replace_what.empty() || name.find(options.replace_what) != std::string_view::npos);
}

} // namespace

run_job query_job(window_controls& window)
{
    begin_window_run(window, listed_files(window));

    const std::int32_t named = window.list_count();
    make_room_for_lines(window, text_id::Text2, named, 0);
    for (std::int32_t i = 0; i < named; ++i) {
        if (const auto name = window.list_entry(i); name && query_matches(window, *name))
            window.append_line(text_id::Text2, {*name});
        window.at_file(i);
        co_yield file_done{};
    }

    window.at_file(0);
    path_list paths(window);
    const std::int32_t listed = window.list_count();
    make_room_for_lines(window, text_id::Text1, listed, window.file_path().size() + 1);
    for (std::int32_t i = 0; i < listed; ++i) {
        if (const auto name = window.list_entry(i); name && query_matches(window, *name))
            paths.add(window.file_path(), *name);
        window.at_file(i);
        co_yield file_done{};
    }

    paths.finish();
    window.set_bar_value(0);
    window.set_timer_enabled(false);
    co_return run_outcomes{};
}

void query_run(window_controls& window)
{
    run_to_end(query_job(window));
}

void timer_tick(window_controls& window)
{
    window.set_bar_value(static_cast<float>(window.run_index()));
}

} // namespace renamer

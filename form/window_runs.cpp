#include "window_runs.h"

#include "core/journal.h"
#include "core/run_job.h"
#include "core/rules.h"
#include "core/undo.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace renamer {

namespace {

// The start every run shares: the timer on, the bar sized to the first
// pass. A window's result lists are emptied first (begin_window_run).
void begin_run(run_observer& observer, std::int32_t first_pass)
{
    observer.set_timer_enabled(true);
    // Fewer than two files make a maximum the bar refuses; it keeps its old one.
    observer.set_bar_max(static_cast<float>(first_pass - 1));
    observer.at_file(0);
}

void begin_window_run(window_controls& window, std::int32_t first_pass)
{
    window.set_text(text_id::Text1, {});
    window.set_text(text_id::Text2, {});
    begin_run(window, first_pass);
}

// The timer off and the index back at 0, as every run ends.
void stop_run(run_observer& observer)
{
    observer.at_file(0);
    observer.set_timer_enabled(false);
    observer.at_file(0);
}

// Renames one file, journalled ahead when the run keeps a journal: each of
// its moves is in the journal before it is made.
platform::rename_result rename_one(file_source& files, journal_writer* journal, const std::string& folder,
                                   std::int32_t index, std::string_view old_name, std::string_view new_name)
{
    if (!journal)
        return files.rename_file(folder, index, old_name, new_name);
    journal->rename_in(folder, files.held_folder(folder));
    return files.rename_file_logged(folder, index, old_name, new_name, *journal);
}

// Counts what became of one rename.
void record(run_outcomes& outcomes, const std::string& folder, std::string_view old_name, std::string_view new_name,
            platform::rename_result result)
{
    using platform::rename_outcome;
    if (result.outcome == rename_outcome::unchanged)
        return;
    if (result.renamed())
        ++outcomes.renamed;
    else
        outcomes.refused.push_back({folder, std::string(old_name), std::string(new_name), std::move(result)});
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
    stop_run(window);

    window.report(outcomes, kind);
    co_return outcomes;
}

void end_journal(run_outcomes& outcomes, journal_writer* journal)
{
    if (journal) {
        journal->finish();
        outcomes.not_journalled = journal->failed();
    }
}

// The rename pass: every listed file that passes the filters, in list order,
// renamed by the file source, and journalled when the run keeps a journal.
run_job rename_pass(front_end parts, journal_writer* journal)
{
    file_source& files = parts.files;
    run_observer& observer = parts.observer;
    run_outcomes outcomes;

    const std::int32_t count = files.list_count();
    std::string new_name;
    for (std::int32_t i = 0; i < count; ++i) {
        // Inputs are read per file, so an edit made between two files
        // takes effect from the next file on.
        const auto name = files.list_entry(i);
        if (name && make_new_name(new_name, parts.inputs.read_rule_inputs(), *name, i)) {
            const std::string& folder = files.file_path();
            record(outcomes, folder, *name, new_name, rename_one(files, journal, folder, i, *name, new_name));
        }
        observer.at_file(i);
        co_yield file_done{};
    }
    end_journal(outcomes, journal);
    co_return outcomes;
}

// The same pass where no input changes during the run: every new name is
// made first, in list order, so that a pattern numbers the files as listed;
// then, when no rename can meet another, the files are renamed in the
// folder's own order, which a disk renames faster in. The outcomes keep the
// list's order.
run_job rename_pass_in_any_order(front_end parts, journal_writer* journal)
{
    file_source& files = parts.files;
    const std::int32_t count = files.list_count();
    platform::name_list new_names;
    // Places for every name at once; room for their bytes then follows the
    // first names' length.
    new_names.reserve(std::size_t(count), 0);
    std::string new_name;
    for (std::int32_t i = 0; i < count; ++i) {
        const auto name = files.list_entry(i);
        if (!name)
            co_return co_await rename_pass(parts, journal);
        new_names.push_back(make_new_name(new_name, parts.inputs.read_rule_inputs(), *name, i) ? std::string_view(new_name)
                                                                                              : *name);
    }
    // Where a rename may meet another, the list's order; the new names made
    // above serve either way, since no input changes during the run.
    std::vector<std::uint32_t> order;
    if (auto free = files.order_free(new_names))
        order = std::move(*free);
    else {
        order.resize(std::size_t(count));
        std::iota(order.begin(), order.end(), 0u);
    }

    run_outcomes outcomes;
    // Where each refusal belongs in the list.
    std::vector<std::pair<std::uint32_t, std::size_t>> refused_at;
    const std::string& folder = files.file_path();
    for (std::size_t k = 0; k < order.size(); ++k) {
        const std::uint32_t i = order[k];
        const auto index = static_cast<std::int32_t>(i);
        const auto name = files.list_entry(index);
        if (name && new_names[i] != *name) {
            const std::size_t refusals = outcomes.refused.size();
            record(outcomes, folder, *name, new_names[i], rename_one(files, journal, folder, index, *name, new_names[i]));
            if (outcomes.refused.size() != refusals)
                refused_at.emplace_back(i, refusals);
        }
        parts.observer.at_file(static_cast<std::int32_t>(k));
        co_yield file_done{};
    }
    std::sort(refused_at.begin(), refused_at.end());
    std::vector<refusal> in_list_order;
    in_list_order.reserve(refused_at.size());
    for (const auto& at : refused_at)
        in_list_order.push_back(std::move(outcomes.refused[at.second]));
    outcomes.refused = std::move(in_list_order);
    end_journal(outcomes, journal);
    co_return outcomes;
}

// What an undo does before its lists: asks, then renames each file back,
// last first, through the run's own folder. Nothing when there was nothing
// to undo, the run cannot be taken back, or the answer was no. A window's
// result lists are emptied as the renames start.
run_job undo_pass(run_observer& observer, run_undo& undo, window_controls* window = nullptr)
{
    if (!undo.ready()) {
        observer.show_message(undo.refusal());
        co_return std::nullopt;
    }
    if (!observer.ask_yes_no(undo.question()))
        co_return std::nullopt;

    const auto count = static_cast<std::int32_t>(undo.files());
    if (window)
        begin_window_run(*window, count);
    else
        begin_run(observer, count);
    co_return co_await undo.taking_back([&observer](std::int32_t done) { observer.at_file(done); });
}

} // namespace

void run_observer::report(const run_outcomes& outcomes, run_kind kind)
{
    // One box at most, after the lists, never one per file.
    if (const std::string text = report_text(outcomes, kind); !text.empty())
        show_message(text);
}

run_job rename_job(window_controls& window)
{
    begin_window_run(window, window.list_count());
    // The list may be minutes old.
    window.check_list();
    journal_writer journal;
    run_outcomes outcomes = *co_await rename_pass(window.parts(), &journal);
    window.refresh();
    co_return co_await finish_run(window, std::move(outcomes), run_kind::rename);
}

run_outcomes rename_run(window_controls& window)
{
    return *run_to_end(rename_job(window));
}

namespace {

run_job rename_files_job(front_end parts)
{
    begin_run(parts.observer, parts.files.list_count());
    // The list was made as the run started, and is its own check; nothing
    // reads an input while the run goes.
    journal_writer journal;
    run_outcomes outcomes = *co_await rename_pass_in_any_order(parts, &journal);
    stop_run(parts.observer);
    parts.observer.report(outcomes, run_kind::rename);
    co_return outcomes;
}

run_job plan_files_job(front_end parts)
{
    begin_run(parts.observer, parts.files.list_count());
    // As a window's run checks its list first; for a list made just now the
    // check finds nothing.
    parts.files.check_list();
    run_outcomes outcomes = *co_await rename_pass(parts, nullptr);
    stop_run(parts.observer);
    co_return outcomes;
}

run_job undo_files_job(run_observer& observer)
{
    run_undo undo;
    std::optional<run_outcomes> outcomes = co_await undo_pass(observer, undo);
    if (!outcomes)
        co_return std::nullopt;
    stop_run(observer);
    observer.report(*outcomes, run_kind::undo);
    co_return outcomes;
}

} // namespace

run_outcomes rename_files(const front_end& parts)
{
    return *run_to_end(rename_files_job(parts));
}

run_outcomes plan_files(const front_end& parts)
{
    return *run_to_end(plan_files_job(parts));
}

run_job undo_job(window_controls& window)
{
    run_undo undo;
    std::optional<run_outcomes> outcomes = co_await undo_pass(window, undo, &window);
    if (!outcomes)
        co_return run_outcomes{};
    if (undo.run().text.folder == window.file_path())
        window.refresh();
    // The passes over the list move the bar over the list, as in a run.
    window.set_bar_max(static_cast<float>(window.list_count() - 1));
    co_return co_await finish_run(window, std::move(*outcomes), run_kind::undo);
}

run_outcomes undo_run(window_controls& window)
{
    return *run_to_end(undo_job(window));
}

std::optional<run_outcomes> undo_files(run_observer& observer)
{
    return run_to_end(undo_files_job(observer));
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
    begin_window_run(window, window.list_count());

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

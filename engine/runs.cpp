#include "runs.h"

#include "journal.h"
#include "rules.h"
#include "undo.h"


namespace renamer {

namespace {

void read_texts_anew(window_controls& window, std::uint64_t edits)
{
    rename_options& options = window.inputs_read.options;
    options.must_contain = window.text(text_id::Text5);
    options.must_not_contain = window.text(text_id::Text6);
    options.new_extension = window.text(text_id::zztt);
    options.pattern = window.text(text_id::Combo1);
    options.replace_what = window.text(text_id::Text3);
    options.replace_with = window.text(text_id::Text4);
    window.inputs_read.at_edit = edits;
}

// The text inputs alone, in the record read_options fills, whose option
// fields are left as they were. The result lists depend on the filters and
// the replacement only, so the passes that fill them read no option button.
// Only the edit count is read per file until an edit.
rename_options& read_texts(window_controls& window)
{
    auto& read = window.inputs_read;
    if (const auto edits = window.input_edits(); read.at_edit != edits) [[unlikely]]
        read_texts_anew(window, edits);
    return read.options;
}

} // namespace

const rename_options& read_options(window_controls& window)
{
    rename_options& options = read_texts(window);
    options.change_extension = window.check_value(check_id::Check3);
    options.strip_extension = window.check_value(check_id::Check1);
    options.use_pattern = window.check_value(check_id::Check2);
    return options;
}

void collapse_path_list(window_controls& window)
{
    // Text1 holds doubled separators only where the folder is a root (or was
    // written with them); a list without any is left as it is rather than
    // copied whole.
    const std::string& paths = window.text(text_id::Text1);
    const char twice[] = {native_separator, native_separator};
    if (paths.find(twice, 0, 2) != std::string::npos)
        window.set_text(text_id::Text1, collapse_double_backslash(paths));
}

void make_room_for_lines(window_controls& window, text_id which, std::int32_t count, std::size_t extra)
{
    constexpr std::int32_t samples = 8;
    std::size_t sampled = 0, names = 0;
    for (std::int32_t k = 0; k < samples && k < count; ++k) {
        if (const auto name = window.list_entry(static_cast<std::int32_t>(std::int64_t(count) * k / samples))) {
            sampled += name->size();
            ++names;
        }
    }
    if (names == 0)
        return;
    // A sixteenth more than the sampled names say, for the names between.
    const std::size_t line = extra + 2 + (sampled + sampled / 16) / names;
    window.reserve_text(which, line * static_cast<std::size_t>(count));
}

void path_list::add(const std::string& folder, std::string_view name)
{
    static constexpr char twice[] = {native_separator, native_separator};
    if (folder != m_folder) {
        m_folder = folder;
        m_doubled = m_doubled || folder.ends_with(native_separator) || folder.find(twice, 0, 2) != std::string::npos;
    }
    const auto [line_folder, separator, line_name] = listing_pieces(folder, name);
    m_window.append_line(text_id::Text1, {line_folder, separator, line_name});
}

void path_list::finish()
{
    // Every other writer of Text1 empties it first and mends what it wrote
    // before it returns, so the lines of folders without a doubled separator
    // need nothing.
    if (m_doubled)
        collapse_path_list(m_window);
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

// The start every run shares: the timer on, the result lists empty, the bar
// sized to the first pass.
void begin_run(window_controls& window, std::int32_t first_pass)
{
    window.set_timer_enabled(true);
    window.set_text(text_id::Text1, {});
    window.set_text(text_id::Text2, {});
    // Fewer than two files make a maximum the bar refuses; it keeps its old one.
    window.set_bar_max(static_cast<float>(first_pass - 1));
    window.run_index = 0;
}

// The timer off and the index back at 0, as every run ends.
void stop_run(window_controls& window)
{
    window.run_index = 0;
    window.set_timer_enabled(false);
    window.run_index = 0;
}

// Counts what became of one rename. A rename that changed a name goes to the
// journal, when the run keeps one, under the name the file now bears.
void record(run_outcomes& outcomes, journal_writer* journal, const std::string& folder,
            std::string_view old_name, std::string_view new_name, platform::rename_result result)
{
    using platform::rename_outcome;
    if (result.outcome == rename_outcome::unchanged)
        return;
    if (journal && (result.renamed() || result.outcome == rename_outcome::left_aside))
        journal->add(folder, old_name, result.renamed() ? new_name : result.left_as);
    if (result.renamed())
        ++outcomes.renamed;
    else
        outcomes.refused.push_back({folder, std::string(old_name), std::string(new_name), std::move(result)});
}

// The end a rename and an undo share, once the file list shows the folder
// as it is now: the result lists, with the filters applied to the names as
// they are and the inputs read anew; then the timer off and the report, if
// there is one.
void finish_run(window_controls& window, const run_outcomes& outcomes, run_kind kind)
{
    window.run_index = 0;
    path_list paths(window);
    const std::int32_t listed = window.list_count();
    make_room_for_lines(window, text_id::Text1, listed, window.file_path().size() + 1);
    for (std::int32_t i = 0; i < listed; ++i) {
        if (const auto name = window.list_entry(i); name && passes_filters(read_texts(window), *name))
            paths.add(window.file_path(), *name);
        advance(window, i);
    }

    window.run_index = 0;
    // One buffer for every replaced name; the box copies each line in.
    std::string replaced;
    const std::int32_t named = window.list_count();
    make_room_for_lines(window, text_id::Text2, named, 0);
    for (std::int32_t i = 0; i < named; ++i) {
        if (const auto name = window.list_entry(i)) {
            const auto& options = read_texts(window);
            if (passes_filters(options, *name)) {
                replaced.clear();
                append_replaced(replaced, *name, options.replace_what, options.replace_with);
                window.append_line(text_id::Text2, {replaced});
            }
        }
        advance(window, i);
    }

    paths.finish();
    stop_run(window);

    window.report(outcomes, kind);
}

// The rename pass: every listed file that passes the filters, in list order,
// renamed by the window, and journalled when the run keeps a journal.
run_outcomes rename_pass(window_controls& window, journal_writer* journal)
{
    begin_run(window, window.list_count());
    run_outcomes outcomes;

    const std::int32_t count = window.list_count();
    std::string new_name;
    for (std::int32_t i = 0; i < count; ++i) {
        // Inputs are read per file, so an edit made while the run yields
        // takes effect from the next file on.
        const auto name = window.list_entry(i);
        if (name && make_new_name(new_name, read_options(window), *name, i)) {
            const std::string& folder = window.file_path();
            record(outcomes, journal, folder, *name, new_name, window.rename_file(folder, *name, new_name));
        }
        advance(window, i);
    }
    if (journal) {
        journal->finish();
        outcomes.not_journalled = journal->failed();
    }
    return outcomes;
}

} // namespace

void window_controls::report(const run_outcomes& outcomes, run_kind kind)
{
    // One box at most, after the lists, never one per file.
    if (const std::string text = report_text(outcomes, kind); !text.empty())
        show_message(text);
}

run_outcomes rename_run(window_controls& window)
{
    journal_writer journal;
    run_outcomes outcomes = rename_pass(window, &journal);
    window.refresh();
    finish_run(window, outcomes, run_kind::rename);
    return outcomes;
}

run_outcomes rename_files(window_controls& window)
{
    journal_writer journal;
    run_outcomes outcomes = rename_pass(window, &journal);
    stop_run(window);
    window.report(outcomes, run_kind::rename);
    return outcomes;
}

run_outcomes plan_files(window_controls& window)
{
    run_outcomes outcomes = rename_pass(window, nullptr);
    stop_run(window);
    return outcomes;
}

run_outcomes undo_run(window_controls& window)
{
    run_undo undo;
    if (!undo.ready()) {
        window.show_message(undo.refusal());
        return {};
    }
    if (!window.ask_yes_no(undo.question()))
        return {};

    begin_run(window, static_cast<std::int32_t>(undo.run().left.size()));
    run_outcomes outcomes = undo.take_back([&](std::int32_t done) { advance(window, done); });
    if (undo.run().folder == window.file_path())
        window.refresh();
    // The passes over the list move the bar over the list, as in a run.
    window.set_bar_max(static_cast<float>(window.list_count() - 1));
    finish_run(window, outcomes, run_kind::undo);
    return outcomes;
}

namespace {

// A file a replacement would touch: it passes the filters and holds the text
// to replace, exactly as typed.
bool query_matches(window_controls& window, std::string_view name)
{
    const auto& options = read_texts(window);
    return passes_filters(options, name) &&
           (options.replace_what.empty() || name.find(options.replace_what) != std::string_view::npos);
}

} // namespace

void query_run(window_controls& window)
{
    begin_run(window, window.list_count());

    const std::int32_t named = window.list_count();
    make_room_for_lines(window, text_id::Text2, named, 0);
    for (std::int32_t i = 0; i < named; ++i) {
        if (const auto name = window.list_entry(i); name && query_matches(window, *name))
            window.append_line(text_id::Text2, {*name});
        advance(window, i);
    }

    window.run_index = 0;
    path_list paths(window);
    const std::int32_t listed = window.list_count();
    make_room_for_lines(window, text_id::Text1, listed, window.file_path().size() + 1);
    for (std::int32_t i = 0; i < listed; ++i) {
        if (const auto name = window.list_entry(i); name && query_matches(window, *name))
            paths.add(window.file_path(), *name);
        advance(window, i);
    }

    paths.finish();
    window.set_bar_value(0);
    window.set_timer_enabled(false);
}

void timer_tick(window_controls& window)
{
    window.set_bar_value(static_cast<float>(window.run_index));
}

} // namespace renamer

#include "runs.h"

#include "journal.h"
#include "rules.h"
#include "undo.h"

#include "platform/files/name_list.h"
#include "platform/files/rename.h"

#include <algorithm>
#include <numeric>
#include <vector>

namespace renamer {

namespace {

std::uint64_t file_count(std::int32_t listed)
{
    return listed > 0 ? static_cast<std::uint64_t>(listed) : 0;
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

void end_journal(run_outcomes& outcomes, journal_writer* journal)
{
    if (journal) {
        journal->finish();
        outcomes.not_journalled = journal->failed();
    }
}

// How many files ahead a pass renaming out of list order fetches names.
constexpr std::size_t fetch_ahead = 4;

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

    // Each rename's names, gathered in the order of the renames: the
    // folder's order jumps about the list, and a loop this short has many
    // of their places fetched from memory at once, where the renames below,
    // each a trip through the kernel, would wait for each in turn. A file's
    // names, and the source's place for it, are then fetched a few renames
    // ahead of its own.
    struct names_of {
        std::string_view old_name, new_name;
    };
    std::vector<names_of> renames(order.size());
    for (std::size_t k = 0; k < order.size(); ++k)
        if (const auto name = files.list_entry(static_cast<std::int32_t>(order[k])))
            renames[k] = {*name, new_names[order[k]]};

    run_outcomes outcomes;
    // Where each refusal belongs in the list.
    std::vector<std::pair<std::uint32_t, std::size_t>> refused_at;
    const std::string& folder = files.file_path();
    for (std::size_t k = 0; k < order.size(); ++k) {
        const std::uint32_t i = order[k];
        if (k + 2 * fetch_ahead < order.size())
            files.coming(static_cast<std::int32_t>(order[k + 2 * fetch_ahead]));
        if (k + fetch_ahead < order.size()) {
            platform::fetch_into_cache(renames[k + fetch_ahead].old_name.data());
            platform::fetch_into_cache(renames[k + fetch_ahead].new_name.data());
        }
        const auto [old_name, new_name] = renames[k];
        if (new_name != old_name) {
            const std::size_t refusals = outcomes.refused.size();
            record(outcomes, folder, old_name, new_name,
                   rename_one(files, journal, folder, static_cast<std::int32_t>(i), old_name, new_name));
            if (outcomes.refused.size() != refusals)
                refused_at.emplace_back(i, refusals);
        }
        parts.observer.progress(k + 1, order.size());
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

run_job rename_files_job(front_end parts)
{
    parts.observer.run_started(file_count(parts.files.list_count()));
    // The list was made as the run started, and is its own check; nothing
    // reads an input while the run goes.
    journal_writer journal;
    run_outcomes outcomes = *co_await rename_pass_in_any_order(parts, &journal);
    parts.observer.run_ended();
    parts.observer.report(outcomes, run_kind::rename);
    co_return outcomes;
}

run_job plan_files_job(front_end parts)
{
    parts.observer.run_started(file_count(parts.files.list_count()));
    // As a window's run checks its list first; for a list made just now the
    // check finds nothing.
    parts.files.check_list();
    run_outcomes outcomes = *co_await rename_pass(parts, nullptr);
    parts.observer.run_ended();
    co_return outcomes;
}

run_job undo_files_job(run_observer& observer, const platform::file_system& files)
{
    run_undo undo(runs_folder(), files);
    if (!undo_agreed(observer, undo))
        co_return std::nullopt;
    observer.run_started(undo.files());
    run_outcomes outcomes = *co_await undo_pass(observer, undo);
    observer.run_ended();
    observer.report(outcomes, run_kind::undo);
    co_return outcomes;
}

} // namespace

void run_observer::report(const run_outcomes& outcomes, run_kind kind)
{
    // One box at most, after the lists, never one per file.
    if (const std::string text = report_text(outcomes, kind); !text.empty())
        show_message(text);
}

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
        observer.progress(file_count(i + 1), file_count(count));
        co_yield file_done{};
    }
    end_journal(outcomes, journal);
    co_return outcomes;
}

run_outcomes rename_files(const front_end& parts)
{
    return *run_to_end(rename_files_job(parts));
}

run_outcomes plan_files(const front_end& parts)
{
    return *run_to_end(plan_files_job(parts));
}

bool undo_agreed(run_observer& observer, const run_undo& undo)
{
    if (!undo.ready()) {
        observer.show_message(undo.refusal());
        return false;
    }
    return observer.ask_yes_no(undo.question());
}

run_job undo_pass(run_observer& observer, run_undo& undo)
{
    const std::uint64_t total = undo.files();
    return undo.taking_back([&observer, total](std::int32_t done) { observer.progress(file_count(done), total); });
}

std::optional<run_outcomes> undo_files(run_observer& observer, const platform::file_system& files)
{
    return run_to_end(undo_files_job(observer, files));
}

} // namespace renamer

#include "undo.h"

#include "platform/files/case_fold.h"
#include "platform/files/identity.h"
#include "platform/files/rename.h"
#include "platform/files/run_store.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <string_view>
#include <sys/file.h>
#include <unistd.h>

namespace renamer {

namespace {

// The file named `name` in the folder, when it is the one `key` names.
std::optional<platform::file_found> file_held(int folder_fd, file_naming naming, const std::string& name,
                                              const std::string& key)
{
    const auto found = platform::find_file(folder_fd, name);
    return found && file_key(naming, *found) == key ? found : std::nullopt;
}

std::string folder_line(const journal_record& run)
{
    return "\n文件夹：" + escape_bytes(run.text.folder);
}

} // namespace

run_undo::run_undo(const std::string& runs_folder, const platform::file_system& files) : m_file_system(files)
{
    find(runs_folder);
}

void run_undo::find(const std::string& runs_folder)
{
    const platform::run_store store(runs_folder, false);
    if (!store.is_open()) {
        m_refusal = store.refusal().problem == platform::store_problem::missing
                        ? nothing_to_undo_text()
                        : store_refusal_text(store.refusal(), true) + "\n未作任何改动。";
        return;
    }
    const auto journals = store.journals();
    for (auto journal = journals.rbegin(); journal != journals.rend(); ++journal) {
        platform::unique_fd fd;
        // Opened for writing from the start: an undo that could not record
        // what it did must not begin.
        journal_record run = read_journal(store, journal->name, fd);
        const auto refused = [&](const std::string& text) { m_refusal = text; };
        // Removed by a run's pruning since the folder was read.
        if (run.refusal.problem == platform::store_problem::missing)
            continue;
        if (run.refusal.problem != platform::store_problem::none)
            return refused(store_refusal_text(run.refusal, false) + "\n未作任何改动。");
        if (run.state == run_state::undoing)
            return refused("上一次撤销仍在进行，不能再次撤销。" + folder_line(run));
        if (run.state == run_state::running)
            return refused("上一次改名仍在进行，不能撤销。" + folder_line(run));
        // A damaged journal blocks only itself: the undo goes on to the
        // runs before it, which it checks file by file as any other, and
        // says which file to remove.
        if (!run.text.whole()) {
            m_skipped += damaged_journal_text(run) + "\n";
            continue;
        }
        if (run.state == run_state::renamed_nothing || run.text.left().empty())
            continue;
        if (run.text.superseded)
            return refused("这次改名之后有一次改名未能记录，不能再撤销这次改名。" + folder_line(run));
        if (run.state == run_state::incomplete)
            return refused("这次改名未能完整记录，不能撤销。" + folder_line(run));

        // The folder by its path once more; only the very folder of the
        // run is used, wherever it is now.
        platform::open_folder folder(run.text.folder, m_file_system);
        const auto identity = folder.identity();
        if (!identity)
            return refused("找不到改名时的文件夹，不能撤销。" + folder_line(run));
        if (*identity != run.text.identity)
            return refused("改名时的文件夹已被移走或替换，现在这个路径是另一个文件夹，不能撤销。" + folder_line(run));
        m_fd = std::move(fd);
        m_run = std::move(run);
        m_folder = std::move(folder);
        gather();
        return;
    }
    m_refusal = m_skipped.empty() ? nothing_to_undo_text() : m_skipped + "未作任何改动。";
}

// The moves of the journal, file by file: a move from the name the move
// before it gave the same file is that file's next step (the steps of one
// rename are written one after the other); a line that repeats an earlier
// one word for word is one move written twice, and counts once.
void run_undo::gather()
{
    const auto& left = m_run.text.left();
    const auto count = static_cast<std::uint32_t>(left.size());
    // The repeats found by sorting the lines' hashes, which takes far less
    // room than a set of the lines.
    std::vector<std::pair<std::size_t, std::uint32_t>> hashes(count);
    const std::hash<std::string_view> hash;
    for (std::uint32_t k = 0; k < count; ++k)
        hashes[k] = {hash(left[k].key) ^ (hash(left[k].old_name) * 31) ^ (hash(left[k].new_name) * 131), k};
    std::sort(hashes.begin(), hashes.end());
    m_repeated.assign(count, false);
    for (std::size_t k = 1; k < hashes.size(); ++k)
        for (std::size_t earlier = k; earlier-- > 0 && hashes[earlier].first == hashes[k].first;)
            if (!m_repeated[hashes[earlier].second] && left[hashes[earlier].second] == left[hashes[k].second]) {
                m_repeated[std::max(hashes[earlier].second, hashes[k].second)] = true;
                break;
            }
    std::vector<std::pair<std::size_t, std::uint32_t>>().swap(hashes);

    for (std::uint32_t k = 0; k < count; ++k) {
        if (m_repeated[k])
            continue;
        if (!m_files.empty()) {
            const journal_entry& before = left[m_files.back().last];
            if (before.key == left[k].key && before.new_name == left[k].old_name) {
                m_files.back().last = k;
                continue;
            }
        }
        m_files.push_back({k, k});
    }
}

std::string run_undo::question() const
{
    std::string text = undo_question(m_files.size()) + folder_line(m_run);
    if (m_run.state == run_state::interrupted)
        text += "\n这次改名被中断，没有做完：只撤销已做的改名。";
    else if (m_run.state == run_state::partly_undone)
        text += "\n上次撤销没有全部完成：这次撤销剩下的改名。";
    if (!m_skipped.empty())
        text += "\n" + m_skipped.substr(0, m_skipped.size() - 1);
    return text;
}

run_outcomes run_undo::take_back(const std::function<void(std::int32_t)>& step)
{
    return *run_to_end(taking_back(step));
}

run_job run_undo::taking_back(std::function<void(std::int32_t)> step)
{
    run_outcomes outcomes;
    if (!m_fd.is_open())
        co_return outcomes;
    // Marked as going, so that a second undo meanwhile says so; a stop
    // leaves the mark without its end, and the next undo decides every
    // file again from what is on disk.
    const std::size_t at = m_run.text.length;
    if (!append_to_journal(m_fd.get(), at, "undoing\n"))
        outcomes.not_journalled = true;

    const auto& left = m_run.text.left();
    const int folder_fd = m_folder.descriptor();
    const std::string& folder = m_folder.path();
    const file_naming naming = m_run.text.naming;
    // The files in the order they were first moved; taken back from the
    // last.
    std::vector<journal_entry> kept;
    for (std::size_t k = 0; k < m_files.size(); ++k) {
        const moved_file& file = m_files[m_files.size() - 1 - k];
        // The user's events run before each file.
        step(static_cast<std::int32_t>(k));
        co_yield file_done{};
        const std::string& key = left[file.first].key;
        const std::string& original = left[file.first].old_name;
        // Where the file is now: under the last name the run gave it, or an
        // earlier one (a stop in the middle of its steps).
        std::optional<platform::file_found> there;
        const std::string* now = nullptr;
        for (std::uint32_t line = file.last + 1; line-- > file.first && !there;)
            if (!m_repeated[line] && left[line].new_name != original &&
                (there = file_held(folder_fd, naming, left[line].new_name, key)))
                now = &left[line].new_name;
        if (!there) {
            // Back already, or moved or deleted since the run: nothing here
            // is that file then.
            if (file_held(folder_fd, naming, original, key)) {
                ++outcomes.renamed;
            } else {
                platform::rename_result gone;
                gone.outcome = platform::rename_outcome::entry_gone;
                outcomes.refused.push_back({folder, left[file.last].new_name, original, std::move(gone)});
            }
            continue;
        }
        platform::rename_result result = m_folder.rename_listed(*now, original, {});
        if (result.renamed()) {
            ++outcomes.renamed;
            continue;
        }
        // The old name is taken: by the file itself, under both names after
        // a stop between a link and its unlink, the second name goes.
        if (result.outcome == platform::rename_outcome::target_exists && naming == file_naming::inode &&
            !platform::equal_without_case(*now, original)) {
            const auto back = file_held(folder_fd, naming, original, key);
            if (back && back->device == there->device) {
                if (unlinkat(folder_fd, now->c_str(), 0) == 0) {
                    ++outcomes.renamed;
                    continue;
                }
                result = {platform::rename_outcome::system_refused, errno, {}};
            }
        }
        kept.push_back({key, original, result.outcome == platform::rename_outcome::left_aside ? result.left_as : *now});
        outcomes.refused.push_back({folder, *now, original, std::move(result)});
    }
    step(static_cast<std::int32_t>(m_files.size()));

    // What is left goes back in the journal's order, for the next try.
    std::reverse(kept.begin(), kept.end());
    std::string lines;
    for (const auto& entry : kept)
        append_move_line(lines, "kept", entry);
    lines += "undone\t" + std::to_string(outcomes.renamed) + "\t" + std::to_string(kept.size()) + "\t" +
             std::to_string(outcomes.refused.size() - kept.size()) + "\n";
    if (!append_to_journal(m_fd.get(), at, lines))
        outcomes.not_journalled = true;
    m_fd.reset();
    co_return outcomes;
}

} // namespace renamer

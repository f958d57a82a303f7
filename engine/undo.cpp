#include "undo.h"

#include <algorithm>
#include <sys/file.h>
#include <unistd.h>

namespace renamer {

namespace {

std::string folder_line(const journal_record& run)
{
    return "\n文件夹：" + escape_bytes(run.folder);
}

} // namespace

run_undo::run_undo(const std::string& runs_folder)
{
    find(runs_folder);
}

void run_undo::find(const std::string& runs_folder)
{
    const auto files = journal_files(runs_folder);
    for (auto file = files.rbegin(); file != files.rend(); ++file) {
        std::string error;
        // Opened for writing from the start: an undo that could not record
        // what it did must not begin.
        const int fd = open_journal(*file, true, error);
        if (fd < 0)
            return refuse(error + "\n未作任何改动。");
        const bool running = flock(fd, LOCK_EX | LOCK_NB) != 0;
        journal_record run = read_journal(fd, *file, running);
        const auto refused = [&](const std::string& text) {
            close(fd);
            refuse(text);
        };
        if (!run.valid())
            return refused(run.error + "\n未作任何改动。");
        if (running)
            return refused("上一次改名仍在进行，不能撤销。" + folder_line(run));
        if (run.superseded)
            return refused("这次改名之后有一次改名未能记录，不能再撤销这次改名。" + folder_line(run));
        if (run.state == run_state::undone || run.left.empty()) {
            close(fd);
            continue;
        }
        if (run.state == run_state::incomplete)
            return refused("这次改名未能完整记录，不能撤销。" + folder_line(run));

        // The folder by its path once more; only the very folder of the
        // run is used, wherever it is now.
        platform::open_folder folder(run.folder);
        const auto identity = folder.identity();
        if (!identity)
            return refused("找不到改名时的文件夹，不能撤销。" + folder_line(run));
        if (identity->first != run.device || identity->second != run.inode)
            return refused("改名时的文件夹已被移走或替换，现在这个路径是另一个文件夹，不能撤销。" + folder_line(run));
        m_fd = fd;
        m_run = std::move(run);
        m_folder = std::move(folder);
        return;
    }
    m_refusal = nothing_to_undo_text();
}

run_undo::~run_undo()
{
    if (m_fd >= 0)
        close(m_fd);
}

void run_undo::refuse(std::string text)
{
    m_refusal = std::move(text);
}

std::string run_undo::question() const
{
    std::string text = undo_question(m_run.left.size()) + folder_line(m_run);
    if (m_run.state == run_state::interrupted)
        text += "\n这次改名被中断，没有做完：只撤销已做的改名。";
    else if (m_run.state == run_state::partly_undone)
        text += "\n上次撤销没有全部完成：这次撤销剩下的改名。";
    return text;
}

run_outcomes run_undo::take_back(const std::function<void(std::int32_t)>& step)
{
    run_outcomes outcomes;
    if (m_fd < 0)
        return outcomes;
    const auto& left = m_run.left;
    const std::string& folder = m_folder.path();
    std::vector<journal_entry> kept;
    for (std::size_t k = 0; k < left.size(); ++k) {
        const journal_entry& entry = left[left.size() - 1 - k];
        auto result = m_folder.rename_no_replace(folder, entry.new_name, entry.old_name);
        using platform::rename_outcome;
        if (result.renamed() || (result.outcome == rename_outcome::entry_gone && !m_folder.holds(entry.new_name) &&
                                 m_folder.holds(entry.old_name))) {
            ++outcomes.renamed;
        } else {
            kept.push_back({entry.old_name, result.outcome == rename_outcome::left_aside ? result.left_as : entry.new_name});
            outcomes.refused.push_back({folder, entry.new_name, entry.old_name, std::move(result)});
        }
        step(static_cast<std::int32_t>(k));
    }

    // What is left goes back in the journal's order, for the next try.
    std::reverse(kept.begin(), kept.end());
    std::string lines;
    for (const auto& entry : kept) {
        lines += "kept\t";
        append_escaped(lines, entry.old_name);
        lines += '\t';
        append_escaped(lines, entry.new_name);
        lines += '\n';
    }
    lines += "undone\t" + std::to_string(outcomes.renamed) + "\t" + std::to_string(kept.size()) + "\n";
    if (!append_to_journal(m_fd, m_run.length, lines))
        outcomes.not_journalled = true;
    close(std::exchange(m_fd, -1));
    return outcomes;
}

} // namespace renamer

#pragma once

// Taking a run back. The undo takes the newest kept run that is not yet
// undone, and only through the very folder the run renamed in: it opens the
// recorded folder anew, checks by its full identity that it is still that
// folder, and makes every rename back through it. It moves only the very
// files the run moved: each is looked for by its key under the names the
// run gave it, and what holds a name now but is not that file is left
// alone. What it could not put back stays in the journal for another try.
// It knows nothing of windows: a front end asks the question and follows
// the steps.

#include "journal.h"
#include "report.h"
#include "run_job.h"

#include "platform/files/descriptors.h"
#include "platform/files/file_calls.h"
#include "platform/files/listed_folder.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace renamer {

class run_undo {
public:
    // Finds the run to take back and holds its journal, locked, and its
    // folder, opened on `files`, which must outlive the undo; or finds why
    // none can be.
    explicit run_undo(const std::string& runs_folder = renamer::runs_folder(),
                      const platform::file_system& files = platform::kernel_files());
    run_undo(const run_undo&) = delete;
    run_undo& operator=(const run_undo&) = delete;

    // There is a run to take back.
    bool ready() const { return m_fd.is_open(); }
    // Otherwise what the user is told: that there is nothing to undo, or
    // which run cannot be taken back and why. Nothing has been changed.
    const std::string& refusal() const { return m_refusal; }
    const journal_record& run() const { return m_run; }
    // How many files the undo would take back.
    std::size_t files() const { return m_files.size(); }
    // What is asked before: how many files, where, and whether the run was
    // cut short or an undo of it was.
    std::string question() const;

    // Takes every file of the run back, the file moved last first (so that
    // a chain such as a → b, then c → a, unwinds), calling `step` with the
    // count done before each file, where the user's events may run, and
    // once more when all are done. A file found under its old name already is
    // back, and counts as restored; one found under both (a stop between a
    // link and its unlink) loses the second name; one found under neither
    // was moved or deleted since, and is reported by name.
    run_outcomes take_back(const std::function<void(std::int32_t)>& step);
    // The same as a job, a step per file; the undo must outlive it.
    run_job taking_back(std::function<void(std::int32_t)> step);

private:
    // One file of the run: the journal's lines of its moves, which are
    // written one after the other, from `first` to `last` of the lines left.
    struct moved_file {
        std::uint32_t first;
        std::uint32_t last;
    };
    void find(const std::string& runs_folder);
    void gather();

    platform::unique_fd m_fd;
    journal_record m_run;
    platform::open_folder m_folder;
    const platform::file_system& m_file_system;
    std::vector<moved_file> m_files;
    // The lines that repeat an earlier one word for word.
    std::vector<bool> m_repeated;
    std::string m_refusal;
    // Journals skipped as damaged on the way to this run.
    std::string m_skipped;
};

} // namespace renamer

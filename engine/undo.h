#pragma once

// Taking a run back. The undo takes the newest kept run that is not yet
// undone, and only through the very folder the run renamed in: it opens the
// recorded folder anew, checks by device and inode that it is still that
// folder, and makes every rename back through it, as the run made its own,
// so that no file can move from one folder to another. What it could not
// put back stays in the journal for another try. It knows nothing of
// windows: a front end asks the question and follows the steps.

#include "journal.h"
#include "report.h"

#include "platform/filesystem.h"

#include <cstdint>
#include <functional>
#include <string>

namespace renamer {

class run_undo {
public:
    // Finds the run to take back and holds its journal, locked, and its
    // folder; or finds why none can be.
    explicit run_undo(const std::string& runs_folder = renamer::runs_folder());
    ~run_undo();
    run_undo(const run_undo&) = delete;
    run_undo& operator=(const run_undo&) = delete;

    // There is a run to take back.
    bool ready() const { return m_fd >= 0; }
    // Otherwise what the user is told: that there is nothing to undo, or
    // which run cannot be taken back and why. Nothing has been changed.
    const std::string& refusal() const { return m_refusal; }
    const journal_record& run() const { return m_run; }
    // What is asked before: how many files, where, and whether the run was
    // cut short or an undo of it was.
    std::string question() const;

    // Renames every file of the run back, last rename first (so that a
    // chain such as a → b, then c → a, unwinds), calling `step` with the
    // count done after each. A file found under its old name with the new
    // one gone is back already, and counts as restored.
    run_outcomes take_back(const std::function<void(std::int32_t)>& step);

private:
    void find(const std::string& runs_folder);
    void refuse(std::string text);

    int m_fd = -1;
    journal_record m_run;
    platform::open_folder m_folder;
    std::string m_refusal;
};

} // namespace renamer

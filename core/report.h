#pragma once

// What a run did, file by file, and the one report it gives the user. The
// outcomes come from where each rename happened (the platform's rename), so
// the report never guesses; the text is built from them alone.

#include "platform/files/rename.h"
#include "platform/files/run_store.h"

#include <cstddef>
#include <string>
#include <vector>

namespace renamer {

// One rename a run could not make, as it was tried: in an undo, `old_name`
// is the name the file had before the undo.
struct refusal {
    std::string folder;
    std::string old_name;
    std::string new_name;
    platform::rename_result result;
};

struct run_outcomes {
    std::size_t renamed = 0;
    // In the order of the list.
    std::vector<refusal> refused;
    // A rename run whose journal could not be written: it cannot be undone.
    // An undo that could not write what it did into the journal.
    bool not_journalled = false;
};

// A plan is a rename run worked out without renaming anything.
enum class run_kind { rename, undo, plan };

// The name shown after the arrow of a refusal: the name the file was to
// get, or the one it was left under.
const std::string& shown_new_name(const refusal& r);

// The report's first line: how many files were renamed (put back) and how
// many were refused.
std::string summary_line(const run_outcomes& outcomes, run_kind kind);
// What the report says about the journal, or nothing: that the run cannot
// be undone, or that the journal could not record the undo.
std::string journal_notes(const run_outcomes& outcomes, run_kind kind);

// The report, in Chinese: how many files were renamed (put back, for an
// undo), then for each reason how many were refused with the first few as
// "old → new", then what the journal could not record. Empty when there is nothing the user must be told: every file that
// should change changed, and the journal is in order.
std::string report_text(const run_outcomes& outcomes, run_kind kind);

// Why a rename was refused, in Chinese, as the report heads its group;
// empty for a rename that was made or had nothing to do.
std::string reason_text(const platform::rename_result& result, run_kind kind = run_kind::rename);

// What the undo asks before it starts, and what it says when there is
// nothing to undo.
std::string undo_question(std::size_t count);
std::string nothing_to_undo_text();

struct journal_record;
// Why a folder of the journals (`folder`) or a journal cannot be used.
std::string store_refusal_text(const platform::store_refusal& refusal, bool folder);
// A journal that is not a journal's text, and which file to remove.
std::string damaged_journal_text(const journal_record& run);
// Why a journal cannot be used, whichever it is.
std::string journal_problem_text(const journal_record& run);
// The state as the history shows it.
std::string state_text(const journal_record& run);

} // namespace renamer

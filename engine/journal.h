#pragma once

// The journals of the runs: every rename a run made, so that it can be
// taken back, even after a restart and from any folder. It is plain C++, with
// no window behind it, so that every front end shares it.
//
// Each run that renames anything writes a file of its own in
// $XDG_STATE_HOME/fennimo/runs/ (by default ~/.local/state/fennimo/runs/),
// named after the moment it started, so that two runs at once never share
// one; the newest `runs_kept` are kept. A journal is text, a line each:
//
//     fennimo run 1
//     folder TAB path                the folder, absolute
//     identity TAB device TAB inode  the folder's, as the run found it
//     started TAB seconds            since 1970
//     r TAB old name TAB new name    each rename, in the order it was made
//     end TAB complete               or stopped (the run was ended early, by
//                                    the window's close or a signal), or
//                                    incomplete (the journal could not be
//                                    written to the end)
//
// then what happened to it since: `superseded` when a later run could not
// keep a journal of its own, so that this one may no longer be taken back;
// and after each undo, `kept TAB old TAB new` for every rename it could not
// take back, then `undone TAB restored TAB kept`. Every field is escaped by
// escape_bytes, so that any byte of a name survives a text line. A journal
// without its end line belongs to a run that is still going (its lock is
// held) or was killed (it is not): both keep every rename but the one in
// flight.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace renamer {

inline constexpr std::string_view journal_header = "fennimo run 1";
inline constexpr std::size_t runs_kept = 20;

// The program's state folder: $XDG_STATE_HOME/fennimo when that variable holds
// an absolute path, otherwise $HOME/.local/state/fennimo. Empty when neither
// can be found.
std::string state_folder();
// The folder of the journals, in the state folder; empty with it.
std::string runs_folder();

// Backslash, tab, line feed and carriage return as \\, \t, \n and \r; every
// other control byte, DEL, and every byte that is not part of a well-formed
// UTF-8 sequence as \xHH. Valid UTF-8 stays as it is.
std::string escape_bytes(std::string_view bytes);
// The same, appended to `out`.
void append_escaped(std::string& out, std::string_view bytes);
// The exact bytes back; false when `text` holds an escape that escape_bytes
// never writes.
bool unescape_bytes(std::string_view text, std::string& bytes);

struct journal_entry {
    std::string old_name;
    std::string new_name;
    bool operator==(const journal_entry&) const = default;
};

// Writes one run's journal. The first add() makes the file, so a run that
// renames nothing leaves none. Each line is in the page cache as soon as
// add() returns, through a shared mapping of the file, so a run killed at any
// moment keeps every rename but the one in flight, at the cost of a memory
// copy. A journal that cannot be written never stops the run: failed() then
// says the run cannot be undone, and its journal says so too.
class journal_writer {
public:
    explicit journal_writer(std::string runs_folder = renamer::runs_folder());
    ~journal_writer();
    journal_writer(const journal_writer&) = delete;
    journal_writer& operator=(const journal_writer&) = delete;

    // A rename made in `folder`, which is the same for a whole run.
    void add(std::string_view folder, std::string_view old_name, std::string_view new_name);
    // Marks the run complete and closes the journal.
    void finish();

    bool failed() const { return m_failed; }
    // The journal's file once the first add() has made it.
    const std::string& path() const { return m_path; }

private:
    void open(std::string_view folder);
    bool reserve(std::size_t more);
    void append(std::string_view bytes);
    // Writes at most `most` bytes at the journal's end through `write`, which
    // is given where to write and answers where it stopped.
    template <typename Write>
    void write_line(std::size_t most, Write write);
    void close_with(std::string_view end);
    void fail();

    std::string m_runs;
    std::string m_path;
    std::string m_folder;
    int m_fd = -1;
    int m_slot = -1;
    char* m_map = nullptr;
    std::size_t m_reserved = 0;
    // Up to here the file's blocks are taken and its pages made.
    std::size_t m_made = 0;
    std::size_t m_length = 0;
    bool m_opened = false;
    bool m_failed = false;
};

// Ends every journal still being written as a run ended early: what the
// window's close and the termination signals do before the program ends, so
// that the journal is whole. Safe in a signal handler.
void stop_journals() noexcept;

enum class run_state { running, complete, interrupted, incomplete, undone, partly_undone };

// One kept run as its journal tells it.
struct journal_record {
    std::string path;
    // Why the journal cannot be used (not a regular file of the user, not
    // readable, not a journal, a name that is not a plain name); empty when
    // it can.
    std::string error;
    std::string folder;
    dev_t device = 0;
    ino_t inode = 0;
    std::int64_t started = 0;
    // Every rename the run made, in order.
    std::vector<journal_entry> entries;
    // What an undo would still take back: the renames that the last undo
    // could not take back, or every one.
    std::vector<journal_entry> left;
    run_state state = run_state::interrupted;
    // Where the journal's last whole line ends.
    std::size_t length = 0;
    bool superseded = false;
    bool valid() const { return error.empty(); }
};

// Opens a journal to read it, or with `writable` to add to it, never through
// a link and never waiting (a FIFO), and only when it is a regular file of
// the user; -1 with `error` set otherwise.
int open_journal(const std::string& path, bool writable, std::string& error);
// Reads the journal held open at `fd`. `running` when a run holds it.
journal_record read_journal(int fd, const std::string& path, bool running);
// The same from its path: the state included.
journal_record read_journal(const std::string& path);

// The journal files, oldest first.
std::vector<std::string> journal_files(const std::string& runs_folder = renamer::runs_folder());
// Every kept run, oldest first.
std::vector<journal_record> run_history(const std::string& runs_folder = renamer::runs_folder());

// Adds `lines` to the journal held open at `fd` at `at`, the end of its last
// whole line as read_journal found it (what a killed run left beyond it is
// dropped). The caller holds the journal's lock. False when it could not be
// written.
bool append_to_journal(int fd, std::size_t at, std::string_view lines);

// The state as the history shows it, in Chinese.
std::string state_text(const journal_record& run);

} // namespace renamer

#pragma once

// The journals of the runs: every move a run made, written before it made
// it, so that it can be taken back even after a stop at any instant, a
// restart, and from any folder. The lines are journal_format's; where the
// journals are kept is the run store's (platform/files/run_store.h); this is the
// appender, which writes a run's journal through a shared mapping of it, and
// the reader, which reads one back whole for an undo or as a summary for the
// history.

#include "journal_format.h"

#include "platform/files/descriptors.h"
#include "platform/files/identity.h"
#include "platform/files/rename.h"
#include "platform/files/run_store.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace renamer {

inline constexpr std::size_t runs_kept = 20;

// The folder of the journals.
inline std::string runs_folder()
{
    return platform::runs_folder();
}

// Writes one run's journal. The first move makes the file, so a run that
// renames nothing leaves none; the folder's identity is taken then, before
// that move, from the descriptor the run renames through. Each line is in
// the page cache before its move is made, at the cost of a memory copy and
// no system call, so a run stopped at any instant leaves no move that its
// journal does not know. A journal that cannot be written never stops the
// run: failed() then says the run cannot be undone, and its journal, or the
// newest one before it, says so too.
class journal_writer final : public platform::move_log {
public:
    explicit journal_writer(std::string runs_folder = renamer::runs_folder());
    ~journal_writer() override;
    journal_writer(const journal_writer&) = delete;
    journal_writer& operator=(const journal_writer&) = delete;

    // The folder the run renames in, by its path and by the descriptor its
    // renames go through (-1 when they go by path: such a run is not
    // journalled, since nothing would tell its folder from another). Told
    // before each file; another folder once the journal is open ends it.
    void rename_in(std::string_view folder, int folder_fd);

    void moving(std::uint64_t inode, std::string_view from, std::string_view to) override;
    void not_moved() override;

    // Marks the run complete and closes the journal.
    void finish();

    bool failed() const { return m_failed; }
    // The journal's file once the first move has made it.
    const std::string& path() const { return m_path; }

private:
    void open();
    bool reserve(std::size_t more);
    template <typename Write>
    void write_line(std::size_t most, Write write);
    void close_with(std::string_view end);
    void fail();

    std::string m_runs;
    std::string m_folder;
    int m_folder_fd = -1;
    platform::folder_identity m_identity;
    file_naming m_naming = file_naming::inode;
    std::string m_path;
    platform::unique_fd m_fd;
    int m_slot = -1;
    char* m_map = nullptr;
    std::size_t m_reserved = 0;
    // Up to here the file's blocks are taken and its pages made.
    std::size_t m_made = 0;
    std::size_t m_length = 0;
    // Where the last move's line starts, to wipe it when the move is refused.
    std::size_t m_line_start = 0;
    std::size_t m_head_length = 0;
    // The files the run moved, and what tells a file's next step from the
    // next file: the name its last move went to.
    std::uint64_t m_files = 0;
    std::string m_last_to;
    std::uint64_t m_last_inode = 0;
    bool m_last_began_file = false;
    bool m_listing_checked = false;
    bool m_listing_trusted = true;
    bool m_opened = false;
    bool m_failed = false;
};

// Ends every journal still being written as a run ended early: what the
// window's close and the termination signals do before the program ends, so
// that the journal is whole. Safe in a signal handler.
void stop_journals() noexcept;

// Installs the handlers of SIGTERM, SIGINT and SIGHUP that end the journals
// before the program ends, and sets SIGXFSZ aside, so that a size limit
// fails the journal alone. Each program's main calls it once, first; the
// thread that calls it is the one that writes the journals.
void install_journal_handlers();

enum class run_state { running, undoing, complete, interrupted, incomplete, undone, partly_undone, renamed_nothing };

// One kept run as its journal tells it.
struct journal_record {
    std::string path;
    // Why the journal cannot be opened; none when it can.
    platform::store_refusal refusal;
    journal_text text;
    run_state state = run_state::interrupted;
    // How many files the run renamed.
    std::uint64_t files = 0;
    bool usable() const { return refusal.problem == platform::store_problem::none && text.whole(); }
};

// Reads the journal `name` of `store` whole, for an undo, holding it open at
// `fd` (writable, locked exclusively) when it is not held elsewhere;
// `fd` holds nothing when it could not be opened or is held.
journal_record read_journal(const platform::run_store& store, const std::string& name, platform::unique_fd& fd);
// Reads a journal held open at `fd` whole.
journal_record read_journal_at(int fd, const std::string& path, bool held);

// The journal files, oldest first.
std::vector<std::string> journal_files(const std::string& runs_folder = renamer::runs_folder());
// Reads the journal at `path` whole, without taking it: its state as a
// history would tell it.
journal_record read_journal(const std::string& path);

// Every kept run, oldest first, each told by its first and last lines only.
std::vector<journal_record> run_history(const std::string& runs_folder = renamer::runs_folder());
// Why the history could not be read; none when it could (or nothing was kept).
platform::store_refusal history_refusal(const std::string& runs_folder = renamer::runs_folder());

// Adds `lines` to the journal held open at `fd` at `at`, the end of its last
// whole line as the reader found it. The caller holds the journal's lock.
// False when it could not be written.
bool append_to_journal(int fd, std::size_t at, std::string_view lines);

} // namespace renamer

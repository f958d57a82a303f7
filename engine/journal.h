#pragma once

// The journal of the last run: every rename it made, so that the run can be
// taken back, even after a restart and from any folder. It is plain C++, with
// no window behind it, so that every front end shares it.
//
// The file lives in $XDG_STATE_HOME/fennimo/ (by default
// ~/.local/state/fennimo/). Its first line is `journal_header`; each further
// line is one rename, in the order it was made:
//
//     folder TAB old name TAB new name LF
//
// each field escaped by escape_bytes, so that any byte of a name survives a
// text line and the line stays readable where the name is UTF-8.

#include <cstddef>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace renamer {

inline constexpr std::string_view journal_header = "fennimo journal 1";

// The program's state folder: $XDG_STATE_HOME/fennimo when that variable holds
// an absolute path, otherwise $HOME/.local/state/fennimo. Empty when neither
// can be found.
std::string state_folder();
// The journal's file in the state folder.
std::string journal_path();

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
    std::string folder;
    std::string old_name;
    std::string new_name;
    bool operator==(const journal_entry&) const = default;
};

// Writes one run's renames. The first add() replaces the previous journal,
// so a run that renames nothing leaves it alone. Entries are written out a
// few at a time, so a crash loses at most the last few, and all of them by
// finish(). A journal that cannot be written never stops the run: the
// writer then removes what it could not complete, so that no half journal
// stands for the run, and failed() says the run cannot be undone.
class journal_writer {
public:
    explicit journal_writer(std::string path = journal_path());
    ~journal_writer();
    journal_writer(const journal_writer&) = delete;
    journal_writer& operator=(const journal_writer&) = delete;

    void add(std::string_view folder, std::string_view old_name, std::string_view new_name);
    // Writes out the rest and closes the file; the end of the run.
    void finish();

    bool failed() const { return m_failed; }

private:
    void open();
    void write_out();
    void fail();

    std::string m_path;
    std::string m_buffer;
    std::string m_folder;
    std::string m_escaped_folder;
    std::ofstream m_file;
    bool m_opened = false;
    bool m_failed = false;
};

struct journal_contents {
    std::vector<journal_entry> entries;
    // Lines that are not a rename as the writer writes one (edited, cut off
    // by a crash, or not a journal at all); they are left out.
    std::size_t skipped_lines = 0;
};

// The journal read line by line; no file gives no entries.
journal_contents read_journal(const std::string& path = journal_path());

// Empties the journal: afterwards there is nothing to undo. False when the
// file is still there.
bool clear_journal(const std::string& path = journal_path());

} // namespace renamer

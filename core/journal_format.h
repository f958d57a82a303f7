#pragma once

// The journal's text: its lines, how they are written and how they are
// read back. Pure: no system call, so that it can be tried on any bytes.
//
//     fennimo journal 2
//     folder TAB path              the folder, absolute
//     identity TAB device TAB inode TAB birth seconds TAB birth nanoseconds TAB generation
//                                  the folder's, from the descriptor the run renames through
//     files TAB inode              how the files are named below: by inode, or
//                                  by size-time (size and modification time, where
//                                  the file system's inodes are not stable)
//     started TAB seconds          since 1970, for the history to show; it
//                                  orders nothing
//     r TAB key TAB from TAB to    each move, written BEFORE it is made; a move
//                                  that was then refused is wiped again
//     end TAB how TAB files        complete, stopped or incomplete, and how many
//                                  files the run renamed
//
// then what happened to it since: `superseded` when a later run could not
// keep a journal of its own; and for each undo, `undoing` as it starts, then
// `kept TAB key TAB from TAB to` for every move it could not take back and
// `undone TAB restored TAB kept TAB gone` as it ends (gone: files found
// under none of their names, which no later undo can find either). Every name is escaped by
// escape_bytes, so that any byte survives a text line. What lies past the
// last whole line (a line in flight, the room reserved ahead) is not part of
// the journal.

#include "platform/files/identity.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace renamer {

inline constexpr std::string_view journal_header = "fennimo journal 2";

// Backslash, tab, line feed and carriage return as \\, \t, \n and \r; every
// other control byte, DEL, and every byte that is not part of a well-formed
// UTF-8 sequence as \xHH. Valid UTF-8 stays as it is.
std::string escape_bytes(std::string_view bytes);
void append_escaped(std::string& out, std::string_view bytes);
// The most bytes one byte can take once escaped (\xHH).
inline constexpr std::size_t escape_growth = 4;
// Writes `bytes` escaped at `out`, which has room for escape_growth times
// as many, and answers where the writing ended.
char* escape_into(char* out, std::string_view bytes);
// The exact bytes back; false when `text` holds an escape that escape_bytes
// never writes.
bool unescape_bytes(std::string_view text, std::string& bytes);

// How a journal names its files.
enum class file_naming { inode, size_and_time };

// A file's key as its journal lines hold it: the inode in decimal, or the
// size and the modification time in nanoseconds, joined by a dot.
std::string file_key(file_naming naming, const platform::file_found& file);
std::string inode_key(std::uint64_t inode);

// One move: the file `key`, from one name to another.
struct journal_entry {
    std::string key;
    std::string old_name;
    std::string new_name;
    bool operator==(const journal_entry&) const = default;
};

// The line of one move, or of one the undo kept, with its tag.
void append_move_line(std::string& out, std::string_view tag, const journal_entry& entry);

// The lines before the first move.
std::string journal_head(std::string_view folder, const platform::folder_identity& identity, file_naming naming,
                         std::int64_t started);

enum class journal_end { none, complete, stopped, incomplete };

// A journal as its text says, whole.
struct journal_text {
    // The line that is not a journal's, from 1; 0 when every line is.
    std::size_t bad_line = 0;
    std::string folder;
    platform::folder_identity identity;
    bool identified = false;
    file_naming naming = file_naming::inode;
    std::int64_t started = 0;
    // Every move the run wrote, in order.
    std::vector<journal_entry> entries;
    // The moves the last undo kept, when there was one.
    std::vector<journal_entry> kept;
    journal_end end = journal_end::none;
    std::uint64_t files = 0;
    bool superseded = false;
    int undos = 0;
    // How many files the last undo found under none of their names.
    std::uint64_t gone = 0;
    // The last undo began and wrote no end: it was stopped, or it goes on.
    bool undo_unfinished = false;
    // Where the last whole line ends.
    std::size_t length = 0;
    // Some move was written.
    bool moved = false;

    bool whole() const { return bad_line == 0; }
    // No move was ever written: a run stopped before its first rename.
    bool renamed_nothing() const { return !moved; }
    // What an undo would still take back.
    const std::vector<journal_entry>& left() const { return undos > 0 ? kept : entries; }
};

// The text up to the end of its last whole line: what lies past the first
// NUL is room reserved and not yet written, and a last line without its
// line feed was in flight.
std::string_view whole_lines(std::string_view text);

// Reads a journal's text (cut by whole_lines first).
journal_text parse_journal(std::string_view text);

// A journal told by its first and last lines only, for a history that lists
// many long ones: `head` is up to the first move, `tail` the lines after the
// last move, and `moves` says whether there was any.
journal_text parse_summary(std::string_view head, std::string_view tail, bool moves);

} // namespace renamer

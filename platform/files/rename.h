#pragma once

// The careful rename: never replacing an existing entry, never moving
// anything out of its folder, and telling exactly what became of each file.

#include "file_calls.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// What became of one rename, decided where it happened, so that a run can
// tell the user exactly which files it could not rename and why.
enum class rename_outcome {
    renamed,         // the file now has its new name
    unchanged,       // the new name is the old one; nothing was done
    target_exists,   // another entry already has the new name; nothing was done
    name_not_allowed, // the new name is not a plain name of this folder; nothing was done
    entry_gone,      // the entry is gone or is no longer a file; nothing was done
    system_refused,  // the file system refused (see `error`); nothing was done
    left_aside,      // the file could be neither renamed nor put back (another
                     // program took its old name meanwhile): it now bears
                     // `left_as`, a visible name beside its old one
};

struct rename_result {
    rename_outcome outcome = rename_outcome::system_refused;
    // The errno of a refusal by the file system, or of the step that failed
    // when a file was left under a visible name; 0 otherwise.
    int error = 0;
    // The name, in the same folder, that a file left aside now bears.
    std::string left_as;

    bool renamed() const { return outcome == rename_outcome::renamed; }
    // What the system said, in the interface's language, for a report.
    std::string error_text() const;
    bool operator==(const rename_result&) const = default;
};

bool is_plain_name(std::string_view name);

// How a folder's file system moves a file without replacing one, as far as
// its refusals have shown: renameat2 with RENAME_NOREPLACE; else a hard link
// and an unlink; else a check that the new name is free and a plain rename.
// The object that holds a folder open keeps one, so that the run, the plan
// and the undo through it ask the file system once per folder whether a way
// is offered, not once per file: over a network each refused call is a
// round trip.
enum class rename_way : std::uint8_t { atomic, link, plain };

// A journal written ahead of the renames: told of every move of a file
// before the move is tried, so that a stop at any instant leaves no move it
// does not know, and of a move that was then refused, while the file is
// known to be still under its name before the move.
class move_log {
public:
    virtual ~move_log() = default;
    // `inode` is the file's as its listing gave it, 0 when none did.
    virtual void moving(std::uint64_t inode, std::string_view from, std::string_view to) = 0;
    virtual void not_moved() = 0;
};

// The log a rename tells, if any, and the file's inode as listed.
struct logged_as {
    move_log* log = nullptr;
    std::uint64_t inode = 0;
};

// Renames the entry `old_name` to `new_name` through `calls`, the one
// algorithm of every rename and every plan. Refused before any call: a name
// that is empty, ".", "..", holds '/' or NUL, or is longer than 255 bytes.
// Refused right before the call: an entry that is gone or is no longer a
// file or a link. `files` is the file system the folder was opened on.
rename_result rename_in(file_calls& calls, std::string_view old_name, std::string_view new_name, rename_way& way,
                        logged_as logged = {}, const file_system& files = kernel_files());

// The same for an entry that a listing showed as a file or a link, which is
// not looked at again: the listing was the look. What another program puts
// in its place after the listing is not seen; the kernel has no rename that
// refuses a folder, so a look right before the rename would only narrow
// that, at the cost of a path lookup per file.
rename_result rename_listed(file_calls& calls, std::string_view old_name, std::string_view new_name,
                            rename_way& way, logged_as logged = {}, const file_system& files = kernel_files());

// The same from two full paths, which must name entries of the same folder
// (compared byte for byte up to and including the last separator).
rename_result rename_no_replace(const std::string& old_path, const std::string& new_path,
                                const file_system& files = kernel_files());

// The folder as a prefix that a plain name can follow directly.
std::string folder_prefix(const std::string& folder);

} // namespace platform

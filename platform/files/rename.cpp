#include "rename.h"
#include "case_fold.h"
#include "error_text.h"
#include "separator.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <unistd.h>

namespace platform {

namespace {

rename_result outcome_of(rename_outcome outcome, int error = 0)
{
    return {outcome, error, {}};
}

// A failed call says in its errno whether the entry was gone, the name
// taken, or the file system refused for a reason of its own.
rename_result refusal(int error)
{
    if (error == ENOENT)
        return outcome_of(rename_outcome::entry_gone, error);
    if (error == EEXIST)
        return outcome_of(rename_outcome::target_exists, error);
    return outcome_of(rename_outcome::system_refused, error);
}

// What renameat2 answers where the file system has no RENAME_NOREPLACE (NFS,
// FUSE), and what linkat answers where it has no hard links (FAT through
// FUSE, sshfs).
bool noreplace_unsupported(int error)
{
    return error == EINVAL || error == ENOSYS || error == ENOTSUP || error == EOPNOTSUPP;
}

bool links_unsupported(int error)
{
    return error == EPERM || error == ENOSYS || error == ENOTSUP || error == EOPNOTSUPP;
}

using way = rename_way;

// One no-replace move, by the first way the file system supports:
// renameat2 with RENAME_NOREPLACE; else a hard link and an unlink, because
// linkat never replaces either; else, only where the kernel has refused
// both, a check that the new name is free followed by a plain rename. With
// `known_free` the check has been made already, by a fresh listing. `by`
// is the folder's memory of the way that works: a way the file system does
// not offer is tried once, and the moves after start at the way it took.
int move_by_a_way(file_calls& calls, std::string_view from, std::string_view to, way& by, bool known_free,
                  bool& under_both)
{
    if (by == way::atomic) {
        const int error = calls.rename_noreplace(from, to);
        if (!noreplace_unsupported(error))
            return error;
        by = way::link;
    }
    // A refusal of the link for this one file, not for the file system: the
    // folder keeps the link way for the files after it.
    bool this_file_only = false, learnt_from_eperm = false;
    if (by == way::link) {
        const int error = calls.link(from, to);
        if (error == 0) {
            const int unlinked = calls.unlink(from);
            // Take the second name away again, so the file keeps exactly the
            // name it had.
            if (unlinked != 0)
                under_both = calls.unlink(to) != 0;
            return unlinked;
        }
        if (!links_unsupported(error))
            return error;
        // EPERM is also how protected hard links refuse another user's
        // file, and how an immutable file refuses everything: only a file
        // the caller could link anywhere tells of the file system.
        if (error == EPERM) {
            bool allowed = false;
            this_file_only = calls.may_link(from, allowed) != 0 || !allowed;
        }
        if (!this_file_only) {
            by = way::plain;
            learnt_from_eperm = error == EPERM;
        }
    }
    // This is the one step that is not atomic: another program that creates
    // the new name between the check and the rename loses its file to the
    // rename. Nothing atomic is left on such a file system, and refusing
    // would leave USB sticks and network shares unrenameable.
    if (!known_free) {
        entry_type type{};
        const int error = calls.look(to, type);
        // The kernel looks for the file before the name it is to take, as
        // the other ways do: a file gone meanwhile is gone, whatever bears
        // the new name.
        if (error == 0)
            return calls.look(from, type) == ENOENT ? ENOENT : EEXIST;
        if (error != ENOENT)
            return error;
    }
    const int error = calls.plain_rename(from, to);
    // A file the kernel refuses to rename too was what refused the link.
    if (error == EPERM && learnt_from_eperm)
        by = way::link;
    return error;
}

// One no-replace move, told to the log first. A refusal is told too,
// unless the file may have been left under both names, which the journal's
// line then covers.
int move_once(file_calls& calls, std::string_view from, std::string_view to, way& by, const logged_as& logged,
              bool known_free = false)
{
    if (logged.log)
        logged.log->moving(logged.inode, from, to);
    bool under_both = false;
    const int error = move_by_a_way(calls, from, to, by, known_free, under_both);
    if (error != 0 && !under_both && logged.log)
        logged.log->not_moved();
    return error;
}

// A name beside the old one that listings show, unlike the temporary name,
// for a file that cannot go back: the old name with `suffix` after it, cut
// where a character begins so that the whole stays within 255 bytes.
std::string visible_name_beside(std::string_view old_name, std::string_view suffix)
{
    std::size_t keep = std::min(old_name.size(), 255 - suffix.size());
    // A UTF-8 sequence is never cut in half; a name that is not UTF-8 loses
    // at most the three bytes that could have been one.
    for (int k = 0; k < 3 && keep < old_name.size() && keep > 0 &&
                    (static_cast<unsigned char>(old_name[keep]) & 0xC0) == 0x80;
         ++k)
        --keep;
    return std::string(old_name.substr(0, keep)).append(suffix);
}

// A name of this process that no other program picks: the temporary name
// of a case-only rename, and the tag of a file left aside.
std::string unique_tag()
{
    static std::atomic<unsigned> counter{0};
    char tag[48];
    std::snprintf(tag, sizeof tag, "fennimo-%ld-%u", static_cast<long>(getpid()), counter++);
    return tag;
}

// Brings a file from its temporary name back to its old name and answers
// `why` for the rename that did not happen. When another program has taken
// the old name meanwhile, the file goes to a visible name beside it instead,
// so that it is never left hidden, and the answer says where it is.
rename_result put_back(file_calls& calls, std::string_view temporary, std::string_view old_name, way& by,
                       const logged_as& logged, const rename_result& why)
{
    const int back = move_once(calls, temporary, old_name, by, logged);
    if (back == 0)
        return why;
    // ".fennimo-1" to ".fennimo-100" first, which a user reads at a glance;
    // past those, names as unique as the temporary one was.
    for (int n = 1; n <= 200; ++n) {
        const std::string visible =
            visible_name_beside(old_name, "." + (n <= 100 ? "fennimo-" + std::to_string(n) : unique_tag()));
        const int moved = move_once(calls, temporary, visible, by, logged);
        if (moved == 0)
            return {rename_outcome::left_aside, back, visible};
        if (moved != EEXIST)
            break;
    }
    // The file system refuses every visible name: the file is where it is.
    return {rename_outcome::left_aside, back, std::string(temporary)};
}

// Whether the folder still holds an entry under the new name, or, on a file
// system that ignores case, under one equal to it without case. A lookup
// that finds none is believed; one that finds it may be the kernel's memory
// of the name that was just moved away (FUSE keeps it for about a second),
// so a fresh listing decides.
int still_taken(file_calls& calls, std::string_view name, bool& taken)
{
    entry_type type{};
    const int error = calls.look(name, type);
    taken = error == 0;
    if (error != 0)
        return error == ENOENT ? 0 : error;
    std::vector<listed_entry> entries;
    if (const int listed = calls.list(entries))
        return listed;
    const std::string folded = fold_case(name);
    taken = false;
    for (const auto& entry : entries)
        taken = taken || entry.name == name || fold_case(entry.name) == folded;
    return 0;
}

// The new name is taken, yet on a file system that ignores case it may be
// the file's own name in another case. Inode numbers cannot tell (FUSE
// invents them), so the file is moved aside to a name that surely is free:
// if the new name went with it, it was the same entry and the file goes on
// to its new name; if it is still there, it is another entry and the file
// goes back. The name aside is a visible one beside the old, so that a stop
// in between leaves the file where the user sees it, and each move is told
// to the log before it is made.
rename_result move_through_temporary(file_calls& calls, std::string_view from, std::string_view to, way& by,
                                     const logged_as& logged)
{
    std::string temporary;
    for (int attempt = 0;; ++attempt) {
        if (attempt == 100)
            return outcome_of(rename_outcome::system_refused, EEXIST);
        temporary = visible_name_beside(from, ".fennimo-temp-" + unique_tag().substr(8));
        const int aside = move_once(calls, from, temporary, by, logged);
        if (aside == 0)
            break;
        if (aside != EEXIST)
            return refusal(aside);
    }
    bool taken = false;
    if (const int error = still_taken(calls, to, taken))
        return put_back(calls, temporary, from, by, logged, refusal(error));
    if (taken)
        return put_back(calls, temporary, from, by, logged, outcome_of(rename_outcome::target_exists, EEXIST));
    const int onward = move_once(calls, temporary, to, by, logged, true);
    if (onward == 0)
        return outcome_of(rename_outcome::renamed);
    return put_back(calls, temporary, from, by, logged, refusal(onward));
}

// The steps of every rename, in the order it takes them: look at the entry,
// unless a listing has just done so; move it without replacing anything, by the first way the file system
// supports; and where the new name is the old one in another case, through
// a temporary name, putting it back when that was not so.
rename_result rename_steps(file_calls& calls, std::string_view old_name, std::string_view new_name, bool look_first,
                           way& by, const logged_as& logged)
{
    // A name a listing gave is a plain name of the folder.
    if ((look_first && !is_plain_name(old_name)) || !is_plain_name(new_name))
        return outcome_of(rename_outcome::name_not_allowed);
    if (old_name == new_name)
        return outcome_of(rename_outcome::unchanged);
    // The list is a snapshot: whatever took a listed file's place since (a
    // folder above all) is not what the user chose to rename.
    if (look_first) {
        entry_type type{};
        if (const int error = calls.look(old_name, type))
            return refusal(error);
        if (type != entry_type::file && type != entry_type::link)
            return outcome_of(rename_outcome::entry_gone);
    }
    const int error = move_once(calls, old_name, new_name, by, logged);
    if (error == 0)
        return outcome_of(rename_outcome::renamed);
    // Only a name that could be the file's own in another case is worth the
    // move aside, and only where the file system may ignore case: where it
    // keeps case, the name in another case is another entry, and the
    // collision is refused at once. An ordinary collision leaves the file
    // under its own name throughout.
    if (error == EEXIST && equal_without_case(old_name, new_name) && calls.may_ignore_case())
        return move_through_temporary(calls, old_name, new_name, by, logged);
    return refusal(error);
}

// Splits two full paths into their one folder (up to and including the last
// separator) and two names; nothing when the folders differ.
struct split_paths {
    std::string prefix, old_name, new_name;
};

std::optional<split_paths> split_in_one_folder(const std::string& old_path, const std::string& new_path)
{
    const auto old_cut = old_path.rfind(path_separator);
    const auto new_cut = new_path.rfind(path_separator);
    if (old_cut == std::string::npos || new_cut == std::string::npos || old_cut != new_cut ||
        old_path.compare(0, old_cut + 1, new_path, 0, new_cut + 1) != 0)
        return std::nullopt;
    return split_paths{old_path.substr(0, old_cut + 1), old_path.substr(old_cut + 1),
                       new_path.substr(new_cut + 1)};
}

} // namespace

std::string rename_result::error_text() const
{
    return platform::error_text(error);
}

bool is_plain_name(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.size() <= 255 &&
           name.find(path_separator) == std::string_view::npos &&
           name.find('/') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

namespace {

rename_result steps_through(file_calls& calls, std::string_view old_name, std::string_view new_name, bool look_first,
                           way& by, const logged_as& logged, const file_system& files)
{
    std::unique_ptr<file_calls> room;
    return rename_steps(files.renaming(calls, room), old_name, new_name, look_first, by, logged);
}

} // namespace

rename_result rename_in(file_calls& calls, std::string_view old_name, std::string_view new_name, rename_way& by,
                        logged_as logged, const file_system& files)
{
    return steps_through(calls, old_name, new_name, true, by, logged, files);
}

rename_result rename_listed(file_calls& calls, std::string_view old_name, std::string_view new_name,
                            rename_way& by, logged_as logged, const file_system& files)
{
    return steps_through(calls, old_name, new_name, false, by, logged, files);
}

std::string folder_prefix(const std::string& folder)
{
    if (folder.back() == path_separator)
        return folder;
    return folder + path_separator;
}

rename_result rename_no_replace(const std::string& old_path, const std::string& new_path, const file_system& files)
{
    const auto split = split_in_one_folder(old_path, new_path);
    if (!split)
        return outcome_of(rename_outcome::name_not_allowed);
    system_calls calls(AT_FDCWD, split->prefix);
    // A folder named by its path is not held: it learns its way afresh.
    rename_way by = rename_way::atomic;
    return rename_in(files.on(calls), split->old_name, split->new_name, by, {}, files);
}

} // namespace platform

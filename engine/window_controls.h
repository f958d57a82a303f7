#pragma once

// What the runs and the browsing handlers see of the main window: the
// controls they read and write, by name, and nothing of how they are drawn.
// The real window implements this over its widgets; a headless one over a
// plain folder serves the tests and the benchmark.

#include "report.h"

#include "platform/filesystem.h"
#include "rules.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace renamer {

// The text-holding controls: the two result lists, the rule inputs and the
// pattern box, whose text is read like any other.
enum class text_id { Text1, Text2, Text3, Text4, Text5, Text6, zztt, Combo1 };
enum class check_id { Check1, Check2, Check3 };

class window_controls {
public:
    virtual ~window_controls() = default;

    // File1: the files of the current folder, as bytes, in the list's order.
    virtual const std::string& file_path() = 0;
    virtual std::int32_t list_count() = 0;
    // Nothing for an index that is no longer in the list, which happens when
    // the folder changes while a run yields. The name is the list's own and
    // holds until the list next changes, which is at a yield at the earliest.
    virtual std::optional<std::string_view> list_entry(std::int32_t index) = 0;
    virtual void refresh() = 0;

    // The box's own text, which holds until the box next changes.
    virtual const std::string& text(text_id which) = 0;
    virtual void set_text(text_id which, const std::string& text) = 0;
    // Adds a line to a CR LF separated list box without rewriting it, so a
    // run stays linear in the number of files. The line is its pieces one
    // after another, handed over as they are, so that a line made of a
    // folder and a name is never built on its own first.
    virtual void append_line(text_id which, std::initializer_list<std::string_view> pieces) = 0;
    // Makes room in a list box for `bytes` more, which a pass about to add a
    // line per file asks for once, so that the list is never copied as it
    // grows. The text is as it was.
    virtual void reserve_text(text_id which, std::size_t bytes) = 0;

    virtual bool check_value(check_id which) = 0;

    // Grows with every edit of Text3 to Text6, zztt and Combo1, by the user
    // or the program, so that an unchanged count means unchanged texts.
    virtual std::uint64_t input_edits() = 0;
    virtual void set_check_value(check_id which, bool value) = 0;

    // ppbb, whose minimum is 0. Both answer false, and keep the old value,
    // when the bar refuses the new one.
    virtual bool set_bar_max(float max) = 0;
    virtual bool set_bar_value(float value) = 0;

    virtual void set_timer_enabled(bool enabled) = 0;

    virtual void yield() = 0;
    // Renames the file `old_name` of `folder` to `new_name`, within the
    // folder, never replacing a file, and says what became of the file.
    virtual platform::rename_result rename_file(const std::string& folder, std::string_view old_name,
                                                std::string_view new_name) = 0;

    // The index of the file last handled, which the progress timer shows.
    std::int32_t run_index = 0;

    // What read_options last read, and the count of edits it was read at.
    struct read_inputs {
        rename_options options;
        std::optional<std::uint64_t> at_edit;
    } inputs_read;

    // What the browsing handlers use besides.

    // Drive1: the drive the user chose. When the window cannot follow a
    // change of drive, the list goes back to the drive it had, silently.
    virtual std::string drive() = 0;
    virtual void revert_drive() = 0;

    // Dir1. Writing its path raises its Change, as a change by the user
    // does; a folder that cannot be read leaves Dir1 as it was, raises
    // nothing and answers false. revert_folder goes back to the folder
    // before the last change, silently.
    virtual std::string folder_path() = 0;
    virtual bool set_folder_path(const std::string& folder) = 0;
    virtual void revert_folder() = 0;

    // File1's Path: writing it reads the folder again. A folder that cannot
    // be read leaves the list as it was and answers false.
    virtual bool set_file_path(const std::string& folder) = 0;

    // The bytes the user has selected in a text box; empty without one.
    virtual std::string selected_text(text_id which) = 0;

    // A message with an OK button only. The window may show it once the
    // handler has returned, so nothing may depend on its having been closed.
    virtual void show_message(const std::string& text) = 0;
    // A question with Yes and No buttons; true for Yes.
    virtual bool ask_yes_no(const std::string& text) = 0;

    // What a run tells the user at its end. A window shows report_text in
    // one box, and nothing when that is empty; the console lists every
    // refusal and sums up.
    virtual void report(const run_outcomes& outcomes, run_kind kind);
};

// The rule inputs as the window holds them at this moment. The texts are
// read again only after an edit, which gives the same record as reading them
// anew without copying six texts per file; the record holds until the next
// call.
const rename_options& read_options(window_controls& window);

// Text1 as collapse_double_backslash leaves it.
void collapse_path_list(window_controls& window);

// Room in list box `which` for `count` lines, each a name of File1 with
// `extra` bytes besides (the folder and separator of a full path), sized
// from a few names spread over the list. Too little only means the list
// grows as it would have anyway; too much costs address space alone, since
// memory never written is never handed out.
void make_room_for_lines(window_controls& window, text_id which, std::int32_t count, std::size_t extra);

// Text1's full-path lines as a listing or a pass adds them, each line as
// listing_line makes it. A doubled separator can only come from a folder,
// since no name holds a separator, so the list is mended once it is built,
// and only when a folder it listed gave one.
class path_list {
public:
    explicit path_list(window_controls& window) : m_window(window) {}
    void add(const std::string& folder, std::string_view name);
    // collapse_path_list, when a line may need it.
    void finish();

private:
    window_controls& m_window;
    // The folder last looked at, which a pass meets again line after line.
    std::string m_folder;
    bool m_doubled = false;
};

} // namespace renamer

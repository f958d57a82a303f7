#pragma once

// The main window's controls as its handlers and runs read and write them,
// by name, and nothing of how they are drawn. The real window implements
// this over its widgets; the tests' windows over plain strings.

#include "core/file_source.h"
#include "core/rule_inputs.h"
#include "core/run_observer.h"
#include "core/runs.h"

#include "platform/files/file_calls.h"

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

// The main window as the runs and the browsing handlers see it: the three
// parts every front end has, over its controls, and the controls only a
// window has besides (the result lists, the option buttons, the drive and
// folder lists, the selection in a text box).
class window_controls : public rule_inputs, public file_source, public run_observer {
public:
    // The texts of Text3 to Text6, zztt and Combo1, read again only after
    // an edit, which gives the same record as reading them anew without
    // copying six texts per file; then the option buttons.
    const rename_options& read_rule_inputs() final;
    // The text inputs alone, in the same record, whose option fields are
    // left as they were: the passes that fill the result lists depend on
    // the filters and the replacement only.
    const rename_options& read_text_inputs();

    // A run's counts as the window shows them: the progress timer on while
    // a run goes, the bar's maximum the last index of the first pass, and
    // run_index the index of the file last handled, which the timer copies
    // into the bar.
    void run_started(std::uint64_t total) final;
    void progress(std::uint64_t done, std::uint64_t total) final;
    void run_ended() final;

    // run_index, as a run and the result-list passes set it.
    void at_file(std::int32_t index) { m_run_index = index; }
    std::int32_t run_index() const { return m_run_index; }
    // Timer1: only the runs switch it, so it also marks a run.
    virtual void set_timer_enabled(bool enabled) = 0;
    // ppbb, whose minimum is 0. Both answer false, and keep the old value,
    // when the bar refuses the new one.
    virtual bool set_bar_max(float max) = 0;
    virtual bool set_bar_value(float value) = 0;

    front_end parts() { return {*this, *this, *this}; }
    // What the window's lists open their folders on, and an undo from the
    // window too.
    virtual const platform::file_system& file_system() = 0;

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
    virtual void set_check_value(check_id which, bool value) = 0;

    // Grows with every edit of Text3 to Text6, zztt and Combo1, by the user
    // or the program, so that an unchanged count means unchanged texts.
    virtual std::uint64_t input_edits() = 0;

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

private:
    std::int32_t m_run_index = 0;
    rename_options m_inputs;
    // The edit count the texts were last read at.
    std::optional<std::uint64_t> m_inputs_at;
};

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

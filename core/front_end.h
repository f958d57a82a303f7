#pragma once

// What the engine asks of a front end, in three parts, so that each front
// end implements only what it has: the inputs, which give the rule record;
// the file source, which lists the folder and renames in it; and the run
// observer, which follows a run and talks to the user. The window
// implements all three over its controls; the command line has options for
// inputs and the terminal for an observer.

#include "report.h"
#include "rules.h"

#include "platform/filesystem.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace renamer {

class rule_inputs {
public:
    virtual ~rule_inputs() = default;
    // The rule record as the inputs hold it at this moment. A run asks
    // again for every file, so that an edit made between two of its files
    // is in force from the next file; the record holds until the next call.
    virtual const rename_options& read_rule_inputs() = 0;
};

// Inputs that do not change while a run goes: the command line's options.
class fixed_rule_inputs final : public rule_inputs {
public:
    explicit fixed_rule_inputs(rename_options options) : m_options(std::move(options)) {}
    const rename_options& read_rule_inputs() override { return m_options; }

private:
    rename_options m_options;
};

class file_source {
public:
    virtual ~file_source() = default;

    // The folder of the listed files, and the files, as bytes, in the list's
    // order. Nothing for an index that is no longer in the list, which
    // happens when the folder changes between two files of a run. The name
    // is the list's own and holds until the list next changes, which is
    // after the run's current file at the earliest.
    virtual const std::string& file_path() = 0;
    virtual std::int32_t list_count() = 0;
    virtual std::optional<std::string_view> list_entry(std::int32_t index) = 0;
    // Reads the folder again.
    virtual void refresh() = 0;
    // Checks a list made before the run against the folder, once, before
    // the run's first rename: a listed file that is gone, or is no longer a
    // file or a link, is then refused as gone. What the list shows stays.
    virtual void check_list() = 0;
    // Renames the file `old_name` of `folder`, the list's entry `index`, to
    // `new_name`, within the folder, never replacing a file, and says what
    // became of the file.
    virtual platform::rename_result rename_file(const std::string& folder, std::int32_t index,
                                                std::string_view old_name, std::string_view new_name) = 0;
    // The same, each move told to `log` before it is made, with the file's
    // inode as the listing gave it. A source that knows no more tells the
    // one move it asks for.
    virtual platform::rename_result rename_file_logged(const std::string& folder, std::int32_t index,
                                                       std::string_view old_name, std::string_view new_name,
                                                       platform::move_log& log)
    {
        log.moving(0, old_name, new_name);
        auto result = rename_file(folder, index, old_name, new_name);
        if (!result.renamed() && result.outcome != platform::rename_outcome::left_aside)
            log.not_moved();
        return result;
    }
    // The descriptor the renames of `folder` go through, whose identity the
    // journal records; -1 where they go by path.
    virtual int held_folder(const std::string& folder)
    {
        (void)folder;
        return -1;
    }
    // The order in which the listed files may be renamed instead of the
    // list's, the folder's own, which the file system renames faster in:
    // only where no rename can meet another, so that the order changes no
    // outcome. `new_names` has one name per listed file, its own for a file
    // the run leaves. Nothing keeps the list's order.
    virtual std::optional<std::vector<std::uint32_t>> order_free(const platform::name_list& new_names)
    {
        (void)new_names;
        return std::nullopt;
    }
};

class run_observer {
public:
    virtual ~run_observer() = default;

    // Only the runs switch the progress timer, so it also marks a run.
    virtual void set_timer_enabled(bool enabled) = 0;
    // The bar, whose minimum is 0. Both answer false, and keep the old
    // value, when the bar refuses the new one.
    virtual bool set_bar_max(float max) = 0;
    virtual bool set_bar_value(float value) = 0;
    // The index of the file the run has reached, which the progress
    // timer shows. A run goes on to its next file once whoever drives it
    // has let the user work (run_job).
    virtual void at_file(std::int32_t index) = 0;

    // A message with an OK button only; returns once it has been read (a
    // window's box closed).
    virtual void show_message(const std::string& text) = 0;
    // A question with Yes and No buttons; true for Yes.
    virtual bool ask_yes_no(const std::string& text) = 0;
    // What a run tells the user at its end: by default report_text in one
    // box, and nothing when that is empty.
    virtual void report(const run_outcomes& outcomes, run_kind kind);
};

// The three parts one run works with.
struct front_end {
    rule_inputs& inputs;
    file_source& files;
    run_observer& observer;
};

} // namespace renamer

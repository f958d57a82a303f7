#pragma once

// The preview of a rename run: what the run would do with every listed file
// if it started now. It is the run's own pass (plan_files) over a planned
// listing, so the preview cannot tell a story the run does not carry out.
// A pass works on its own copy of the list and of the rule record and
// touches nothing a window owns, and it can be stopped between two files, so
// a front end may run it on another thread and start a fresh one whenever
// the inputs change.

#include "file_source.h"
#include "report.h"
#include "rules.h"

#include "platform/files/folder_image.h"
#include "platform/files/rename.h"
#include "platform/files/name_list.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace renamer {

// What the run would do with one listed file.
struct preview_row {
    // Unchanged too for a file the filters leave out.
    platform::rename_result result{platform::rename_outcome::unchanged, 0, {}};
    // The name the run would try to give the file, held by the pass;
    // nothing for a file the filters leave out.
    std::optional<std::string_view> new_name;
};

// "改名", "不变", or "不能改名：" and the reason as the report words it.
std::string outcome_text(const platform::rename_result& result);
// The one line of counts: all files, then how many would be renamed, left
// as they are and refused.
std::string preview_counts(std::size_t files, const run_outcomes& outcomes);

class preview_pass {
public:
    // Over `images` when given, which keep the folder's image from one pass
    // to the next while the folder does not change; they must outlive the
    // pass, and serve one pass at a time.
    preview_pass(std::string folder, platform::name_list names, rename_options options,
                 platform::kept_folder_image* images = nullptr);
    ~preview_pass();
    preview_pass(const preview_pass&) = delete;
    preview_pass& operator=(const preview_pass&) = delete;

    // The pass, on any one thread at a time; it returns soon after stop().
    void run();
    // From any thread.
    void stop() { m_stopped.store(true, std::memory_order_relaxed); }
    bool stopped() const { return m_stopped.load(std::memory_order_relaxed); }

    // What the pass planned over, from the end of run(): megabytes of a
    // large folder's image, so a caller may take it and free it where that
    // holds nobody up; otherwise it goes with the pass. It refers to the
    // pass, but only while it plans.
    std::unique_ptr<file_source> take_spent_source() { return std::move(m_spent); }

    const std::string& folder() const { return m_folder; }
    const platform::name_list& names() const { return m_names; }
    std::int32_t count() const { return static_cast<std::int32_t>(m_names.size()); }

    // From any thread: the rows from the first up to this count are final
    // and may be read while the pass goes on.
    std::int32_t rows_done() const { return m_done.load(std::memory_order_acquire); }
    const preview_row& row(std::int32_t index) const { return m_rows[static_cast<std::size_t>(index)]; }
    // Every row is final, and the counts with them.
    bool complete() const { return m_complete.load(std::memory_order_acquire); }
    const run_outcomes& outcomes() const { return m_outcomes; }

private:
    friend class preview_recorder;

    // Keeps a new name in blocks that never move, so that a row can point
    // at it while later rows are written, and the rows go in a few frees.
    std::string_view keep(std::string_view name);

    const std::string m_folder;
    const platform::name_list m_names;
    const rename_options m_options;
    platform::kept_folder_image* const m_images;
    // Sized as the pass starts, before it reports its first row done, so
    // that a reader never meets a vector that moves.
    std::vector<preview_row> m_rows;
    std::vector<std::unique_ptr<char[]>> m_name_blocks;
    char* m_block_free = nullptr;
    std::size_t m_block_left = 0;
    run_outcomes m_outcomes;
    std::unique_ptr<file_source> m_spent;
    std::atomic<std::int32_t> m_done{0};
    std::atomic<bool> m_complete{false};
    std::atomic<bool> m_stopped{false};
};

} // namespace renamer

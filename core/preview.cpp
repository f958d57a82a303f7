#include "preview.h"

#include "planned_listing.h"
#include "runs.h"

#include "platform/files/move_permission.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace renamer {

// The pass's file source and observer in one: the planned listing, which
// notes what became of each file, and an observer that lets the pass run
// straight through, since nobody waits on this thread.
class preview_recorder final : public planned_listing, public run_observer {
public:
    explicit preview_recorder(preview_pass& pass)
        : planned_listing(pass.m_folder, pass.m_names,
                          pass.m_images ? pass.m_images->read(pass.m_folder)
                                         : platform::folder_image::read(pass.m_folder,
                                                                        platform::file_looks::where_the_folder_asks)),
          m_pass(pass)
    {
    }

    std::optional<std::string_view> list_entry(std::int32_t index) override
    {
        // A stopped pass finds the rest of the list gone, the way a run does
        // when the folder changes under it, and so ends without planning it.
        if (m_pass.stopped())
            return std::nullopt;
        // The pass asks for each file once, in order, after it is done with
        // the one before.
        m_pass.m_done.store(index, std::memory_order_release);
        m_index = index;
        return planned_listing::list_entry(index);
    }

    platform::rename_result rename_file(const std::string& folder, std::int32_t index, std::string_view old_name,
                                        std::string_view new_name) override
    {
        auto result = planned_listing::rename_file(folder, index, old_name, new_name);
        preview_row& row = m_pass.m_rows[static_cast<std::size_t>(m_index)];
        row.result = result;
        row.new_name = m_pass.keep(new_name);
        return result;
    }

    void run_started(std::uint64_t) override {}
    void progress(std::uint64_t, std::uint64_t) override {}
    void run_ended() override {}
    void show_message(const std::string&) override {}
    bool ask_yes_no(const std::string&) override { return false; }

private:
    preview_pass& m_pass;
    std::int32_t m_index = 0;
};

std::string outcome_text(const platform::rename_result& result)
{
    switch (result.outcome) {
    case platform::rename_outcome::renamed: return "改名";
    case platform::rename_outcome::unchanged: return "不变";
    default: return "不能改名：" + reason_text(result);
    }
}

std::string preview_counts(std::size_t files, const run_outcomes& outcomes)
{
    const std::size_t refused = outcomes.refused.size();
    const std::size_t unchanged = files - outcomes.renamed - refused;
    return "共 " + std::to_string(files) + " 个文件：将改名 " + std::to_string(outcomes.renamed) + " 个，不变 " +
           std::to_string(unchanged) + " 个，不能改名 " + std::to_string(refused) + " 个。";
}

preview_pass::preview_pass(std::string folder, platform::name_list names, rename_options options,
                           platform::kept_folder_image* images)
    : m_folder(std::move(folder)), m_names(std::move(names)), m_options(std::move(options)), m_images(images)
{
}

preview_pass::~preview_pass() = default;

std::string_view preview_pass::keep(std::string_view name)
{
    if (name.empty())
        return {};
    if (name.size() > m_block_left) {
        constexpr std::size_t block = 64 * 1024;
        m_block_left = std::max(block, name.size());
        m_name_blocks.push_back(std::make_unique_for_overwrite<char[]>(m_block_left));
        m_block_free = m_name_blocks.back().get();
    }
    std::memcpy(m_block_free, name.data(), name.size());
    const std::string_view kept(m_block_free, name.size());
    m_block_free += name.size();
    m_block_left -= name.size();
    return kept;
}

void preview_pass::run()
{
    // Made here, on the pass's own thread: a hundred thousand rows are
    // megabytes to clear.
    m_rows.resize(m_names.size());
    fixed_rule_inputs inputs(m_options);
    auto recorder = std::make_unique<preview_recorder>(*this);
    run_outcomes outcomes = plan_files({inputs, *recorder, *recorder});
    m_spent = std::move(recorder);
    if (stopped())
        return;
    m_outcomes = std::move(outcomes);
    m_done.store(count(), std::memory_order_release);
    m_complete.store(true, std::memory_order_release);
}

} // namespace renamer

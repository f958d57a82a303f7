#include "report.h"

#include "journal.h"

#include <map>
#include <utility>

namespace renamer {

namespace {

// Enough to recognise the pattern of a refusal; the rest are counted.
constexpr std::size_t names_shown = 10;

} // namespace

std::string reason_text(const platform::rename_result& result)
{
    using platform::rename_outcome;
    switch (result.outcome) {
    case rename_outcome::target_exists: return "目标名称已存在";
    case rename_outcome::name_not_allowed: return "名称不允许使用（为空、为 . 或 ..、含有 / 或超过 255 字节）";
    case rename_outcome::entry_gone: return "文件已不存在，或已不是文件";
    case rename_outcome::system_refused: return "文件系统拒绝：" + result.error_text();
    case rename_outcome::left_aside: return "未能改名，也未能改回原名，文件现以右边的名称保留";
    case rename_outcome::renamed:
    case rename_outcome::unchanged: break;
    }
    return {};
}

const std::string& shown_new_name(const refusal& r)
{
    return r.result.outcome == platform::rename_outcome::left_aside ? r.result.left_as : r.new_name;
}

std::string summary_line(const run_outcomes& outcomes, run_kind kind)
{
    const bool undo = kind == run_kind::undo;
    const std::string renamed = std::to_string(outcomes.renamed);
    const std::string refused = std::to_string(outcomes.refused.size());
    if (kind == run_kind::plan)
        return "将改名 " + renamed + " 个文件" + (outcomes.refused.empty() ? "" : "，" + refused + " 个文件不能改名") + "。";
    std::string text = undo ? "已有 " + renamed + " 个文件恢复原名" : "已改名 " + renamed + " 个文件";
    if (!outcomes.refused.empty())
        text += undo ? "，" + refused + " 个文件未能恢复" : "，" + refused + " 个文件未能改名";
    return text + "。";
}

std::string journal_notes(const run_outcomes& outcomes, run_kind kind)
{
    std::string text;
    if (outcomes.not_journalled)
        text += kind == run_kind::undo ? "无法把撤销的结果写入撤销记录。\n" : "无法写入撤销记录，本次改名不能撤销。\n";
    return text;
}

std::string report_text(const run_outcomes& outcomes, run_kind kind)
{
    const std::string notes = journal_notes(outcomes, kind);
    if (outcomes.refused.empty() && notes.empty())
        return {};

    std::string text = summary_line(outcomes, kind) + "\n";

    // One group per reason, in the order of the reasons; the file system's
    // refusals apart for each error, since each has its own remedy.
    std::map<std::pair<platform::rename_outcome, int>, std::vector<const refusal*>> groups;
    for (const auto& r : outcomes.refused)
        groups[{r.result.outcome, r.result.error}].push_back(&r);
    for (const auto& [reason, members] : groups) {
        text += "\n" + reason_text(members.front()->result) + "（" + std::to_string(members.size()) + " 个）：\n";
        for (std::size_t k = 0; k < members.size() && k < names_shown; ++k) {
            const refusal& r = *members[k];
            text += "    " + escape_bytes(r.old_name) + " → " + escape_bytes(shown_new_name(r)) + "\n";
        }
        if (members.size() > names_shown)
            text += "    …\n";
    }

    if (!notes.empty())
        text += "\n" + notes;
    text.pop_back();
    return text;
}

std::string undo_question(std::size_t count)
{
    return "撤销上一次改名吗？\n将有 " + std::to_string(count) + " 个文件恢复原来的名称。";
}

std::string nothing_to_undo_text()
{
    return "没有可以撤销的改名。";
}

} // namespace renamer

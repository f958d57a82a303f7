#include "report.h"

#include "journal.h"

#include <cstring>
#include <map>
#include <utility>

namespace renamer {

namespace {

// Enough to recognise the pattern of a refusal; the rest are counted.
constexpr std::size_t names_shown = 10;

} // namespace

std::string reason_text(const platform::rename_result& result, run_kind kind)
{
    using platform::rename_outcome;
    // An undo looks for each file under the names the run gave it.
    if (kind == run_kind::undo && result.outcome == rename_outcome::entry_gone)
        return "改名之后已被移走或删除，未作改动";
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
        text += "\n" + reason_text(members.front()->result, kind) + "（" + std::to_string(members.size()) + " 个）：\n";
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

std::string store_refusal_text(const platform::store_refusal& refusal, bool folder)
{
    using platform::store_problem;
    const std::string what = folder ? "撤销记录的文件夹" : "撤销记录";
    const std::string path = escape_bytes(refusal.path);
    switch (refusal.problem) {
    case store_problem::none: return {};
    case store_problem::missing: return "找不到" + what + "：" + path;
    case store_problem::a_link: return what + "是一个链接，不予使用：" + path;
    case store_problem::not_the_users: return what + "不属于本用户，不予使用：" + path;
    case store_problem::wrong_kind:
        return what + (folder ? "不是文件夹，不予使用：" : "不是普通文件，不予使用：") + path;
    case store_problem::loose_mode: return what + "可被其他用户读写，且无法改为仅本用户可用，不予使用：" + path;
    case store_problem::failed: return "无法打开" + what + " " + path + "：" + std::strerror(refusal.error);
    }
    return {};
}

std::string damaged_journal_text(const journal_record& run)
{
    return "撤销记录已损坏（第 " + std::to_string(run.text.bad_line) + " 行），这次改名不能撤销：" +
           escape_bytes(run.path) + "\n删除这个文件后，这条提示不再出现。";
}

std::string journal_problem_text(const journal_record& run)
{
    if (run.refusal.problem != platform::store_problem::none)
        return store_refusal_text(run.refusal, false);
    return run.text.whole() ? std::string() : damaged_journal_text(run);
}

std::string state_text(const journal_record& run)
{
    if (!run.usable())
        return "无法使用";
    switch (run.state) {
    case run_state::running: return "进行中";
    case run_state::undoing: return "撤销中";
    case run_state::complete: return "已完成";
    case run_state::interrupted: return "中断";
    case run_state::incomplete: return "未完整记录";
    case run_state::undone: return "已撤销";
    case run_state::partly_undone: return "部分撤销";
    case run_state::renamed_nothing: return "未改名";
    }
    return {};
}

} // namespace renamer

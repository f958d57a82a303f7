#include "window_controls.h"

namespace renamer {

const rename_options& window_controls::read_text_inputs()
{
    // Only the edit count is read per file until an edit.
    if (const auto edits = input_edits(); m_inputs_at != edits) [[unlikely]] {
        m_inputs.must_contain = text(text_id::Text5);
        m_inputs.must_not_contain = text(text_id::Text6);
        m_inputs.new_extension = text(text_id::zztt);
        m_inputs.pattern = text(text_id::Combo1);
        m_inputs.replace_what = text(text_id::Text3);
        m_inputs.replace_with = text(text_id::Text4);
        m_inputs_at = edits;
    }
    return m_inputs;
}

const rename_options& window_controls::read_rule_inputs()
{
    read_text_inputs();
    m_inputs.change_extension = check_value(check_id::Check3);
    m_inputs.strip_extension = check_value(check_id::Check1);
    m_inputs.use_pattern = check_value(check_id::Check2);
    return m_inputs;
}

void window_controls::run_started(std::uint64_t total)
{
    set_timer_enabled(true);
    // Fewer than two files make a maximum the bar refuses; it keeps its old one.
    set_bar_max(static_cast<float>(static_cast<std::int64_t>(total) - 1));
    at_file(0);
}

void window_controls::progress(std::uint64_t done, std::uint64_t total)
{
    (void)total;
    at_file(static_cast<std::int32_t>(done > 0 ? done - 1 : 0));
}

void window_controls::run_ended()
{
    // The index back at 0 on both sides of the timer, as every run ends.
    at_file(0);
    set_timer_enabled(false);
    at_file(0);
}

void collapse_path_list(window_controls& window)
{
    // Text1 holds doubled separators only where the folder is a root (or was
    // written with them); a list without any is left as it is rather than
    // copied whole.
    const std::string& paths = window.text(text_id::Text1);
    const char twice[] = {native_separator, native_separator};
    if (paths.find(twice, 0, 2) != std::string::npos)
        window.set_text(text_id::Text1, collapse_double_backslash(paths));
}

void make_room_for_lines(window_controls& window, text_id which, std::int32_t count, std::size_t extra)
{
    constexpr std::int32_t samples = 8;
    std::size_t sampled = 0, names = 0;
    for (std::int32_t k = 0; k < samples && k < count; ++k) {
        if (const auto name = window.list_entry(static_cast<std::int32_t>(std::int64_t(count) * k / samples))) {
            sampled += name->size();
            ++names;
        }
    }
    if (names == 0)
        return;
    // A sixteenth more than the sampled names say, for the names between.
    const std::size_t line = extra + 2 + (sampled + sampled / 16) / names;
    window.reserve_text(which, line * static_cast<std::size_t>(count));
}

void path_list::add(const std::string& folder, std::string_view name)
{
    static constexpr char twice[] = {native_separator, native_separator};
    if (folder != m_folder) {
        m_folder = folder;
        m_doubled = m_doubled || folder.ends_with(native_separator) || folder.find(twice, 0, 2) != std::string::npos;
    }
    const auto [line_folder, separator, line_name] = listing_pieces(folder, name);
    m_window.append_line(text_id::Text1, {line_folder, separator, line_name});
}

void path_list::finish()
{
    // Every other writer of Text1 empties it first and mends what it wrote
    // before it returns, so the lines of folders without a doubled separator
    // need nothing.
    if (m_doubled)
        collapse_path_list(m_window);
}

} // namespace renamer

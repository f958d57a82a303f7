#include "rules.h"

namespace renamer {

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(' ');
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

bool is_blank(std::string_view text)
{
    return trimmed(text).empty();
}

std::string replace_all(std::string_view text, std::string_view what, std::string_view with)
{
    std::string out;
    out.reserve(text.size());
    append_replaced(out, text, what, with);
    return out;
}

void append_replaced(std::string& out, std::string_view text, std::string_view what, std::string_view with)
{
    if (what.empty()) {
        out += text;
        return;
    }
    std::size_t from = 0;
    for (auto at = text.find(what); at != std::string_view::npos; at = text.find(what, from)) {
        out.append(text, from, at - from);
        out.append(with);
        from = at + what.size();
    }
    out.append(text, from);
}

static bool contains(std::string_view name, std::string_view part)
{
    return name.find(part) != std::string_view::npos;
}

bool passes_filters(const rename_options& options, std::string_view name)
{
    // Blankness only decides whether a filter is on; the test itself uses
    // the text as typed, so " a" asks for a blank before the "a". An empty
    // filter, the usual one, is seen to be off without looking further.
    const std::string& exclude = options.must_not_contain;
    if (!exclude.empty() && !is_blank(exclude) && contains(name, exclude))
        return false;
    const std::string& include = options.must_contain;
    if (!include.empty() && !is_blank(include) && !contains(name, include))
        return false;
    return true;
}

bool make_new_name(std::string& out, const rename_options& options, std::string_view name, std::int64_t index)
{
    out.clear();
    if (!passes_filters(options, name))
        return false;

    if (options.change_extension && !is_blank(options.new_extension)) {
        // Extensions start at the first dot, not the last: "a.b.txt" has "b.txt".
        out += name.substr(0, name.find('.'));
        out += '.';
        // Most people type the extension with its dot; that one dot is the
        // name's own and is not doubled. Any further dot was meant.
        std::string_view extension = trimmed(options.new_extension);
        if (extension.starts_with('.'))
            extension.remove_prefix(1);
        out += extension;
    } else if (options.strip_extension) {
        out += name.substr(0, name.find('.'));
    } else if (options.use_pattern && !is_blank(options.pattern)) {
        append_replaced(out, trimmed(options.pattern), "*", std::to_string(index));
    } else {
        append_replaced(out, name, options.replace_what, options.replace_with);
    }
    return true;
}

std::optional<std::string> make_new_name(const rename_options& options, std::string_view name,
                                         std::int64_t index)
{
    std::string out;
    if (!make_new_name(out, options, name, index))
        return std::nullopt;
    return out;
}

std::string join_path(std::string_view folder, std::string_view name, char separator)
{
    std::string out(folder);
    if (out.empty() || out.back() != separator)
        out += separator;
    out += name;
    return out;
}

std::array<std::string_view, 3> listing_pieces(std::string_view folder, std::string_view name, char separator)
{
    // The separator's piece must outlive the call: it points into a table
    // of every byte.
    static constexpr auto bytes = [] {
        std::array<char, 256> all{};
        for (std::size_t i = 0; i < all.size(); ++i)
            all[i] = static_cast<char>(i);
        return all;
    }();
    return {folder, std::string_view(&bytes[static_cast<unsigned char>(separator)], 1), name};
}

std::string listing_line(std::string_view folder, std::string_view name, char separator)
{
    std::string out;
    out.reserve(folder.size() + 1 + name.size());
    for (const std::string_view piece : listing_pieces(folder, name, separator))
        out += piece;
    return out;
}

std::string collapse_double_backslash(std::string_view list, char separator)
{
    const char twice[] = {separator, separator};
    return replace_all(list, std::string_view(twice, 2), std::string_view(twice, 1));
}

void append_list_line(std::string& list, std::initializer_list<std::string_view> pieces)
{
    if (!list.empty())
        list += "\r\n";
    for (const std::string_view piece : pieces)
        list += piece;
}

} // namespace renamer

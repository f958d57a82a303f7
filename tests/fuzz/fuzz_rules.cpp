// The rules against a reference written here from their description, byte
// by byte and without cleverness: any input on which the two disagree is a
// fault in one of them.

#include "fuzz_input.h"

#include "platform/files/list_order.h"
#include "platform/files/name_list.h"
#include "core/rules.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace {

bool starts_at(const std::string& text, std::size_t i, const std::string& part)
{
    if (i + part.size() > text.size())
        return false;
    for (std::size_t k = 0; k < part.size(); ++k)
        if (text[i + k] != part[k])
            return false;
    return true;
}

std::string replaced(const std::string& text, const std::string& what, const std::string& with)
{
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        if (!what.empty() && starts_at(text, i, what)) {
            out += with;
            i += what.size();
        } else {
            out += text[i++];
        }
    }
    return out;
}

bool holds(const std::string& text, const std::string& part)
{
    for (std::size_t i = 0; i + part.size() <= text.size(); ++i)
        if (starts_at(text, i, part))
            return true;
    return false;
}

std::string without_outer_blanks(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    std::size_t first = 0;
    while (first < text.size() && text[first] == ' ')
        ++first;
    return text.substr(first);
}

bool blank(const std::string& text) { return without_outer_blanks(text).empty(); }

bool passes(const renamer::rename_options& o, const std::string& name)
{
    if (!blank(o.must_not_contain) && holds(name, o.must_not_contain))
        return false;
    return blank(o.must_contain) || holds(name, o.must_contain);
}

std::string before_first_dot(const std::string& name)
{
    std::string out;
    for (char c : name) {
        if (c == '.')
            break;
        out += c;
    }
    return out;
}

std::optional<std::string> new_name(const renamer::rename_options& o, const std::string& name, std::int64_t index)
{
    if (!passes(o, name))
        return std::nullopt;
    if (o.change_extension && !blank(o.new_extension))
        return before_first_dot(name) + "." + without_outer_blanks(o.new_extension);
    if (o.strip_extension)
        return before_first_dot(name);
    if (o.use_pattern && !blank(o.pattern))
        return replaced(without_outer_blanks(o.pattern), "*", std::to_string(index));
    return replaced(name, o.replace_what, o.replace_with);
}

int lower(unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; }

bool listed_before(const std::string& a, const std::string& b)
{
    for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (lower(a[i]) != lower(b[i]))
            return lower(a[i]) < lower(b[i]);
    if (a.size() != b.size())
        return a.size() < b.size();
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[i]);
    return false;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz_input in{data, size};
    renamer::rename_options o;
    const std::uint8_t switches = in.byte();
    o.change_extension = switches & 1;
    o.strip_extension = switches & 2;
    o.use_pattern = switches & 4;
    const char separator = (switches & 8) ? '\\' : '/';
    const auto index = static_cast<std::int64_t>(in.byte()) * (switches & 16 ? 1000003 : 1) - (switches & 32 ? 7 : 0);
    o.must_contain = in.text();
    o.must_not_contain = in.text();
    o.new_extension = in.text();
    o.pattern = in.text();
    o.replace_what = in.text();
    o.replace_with = in.text();
    const std::string folder = in.text();
    const std::string name = in.rest();

    FUZZ_CHECK(renamer::passes_filters(o, name) == passes(o, name));
    FUZZ_CHECK(renamer::make_new_name(o, name, index) == new_name(o, name, index));
    FUZZ_CHECK(renamer::replace_all(name, o.replace_what, o.replace_with) ==
               replaced(name, o.replace_what, o.replace_with));

    const std::string joined = renamer::join_path(folder, name, separator);
    const bool ends_in_separator = !folder.empty() && folder.back() == separator;
    FUZZ_CHECK(joined == folder + (ends_in_separator ? "" : std::string(1, separator)) + name);
    const std::string line = renamer::listing_line(folder, name, separator);
    FUZZ_CHECK(line == folder + separator + name);
    const std::string twice(2, separator);
    FUZZ_CHECK(renamer::collapse_double_backslash(line, separator) ==
               replaced(line, twice, std::string(1, separator)));

    // The list order: as the reference says for each pair, and a total order
    // when a handful of names made from the input are sorted by it.
    FUZZ_CHECK(platform::list_order_less(folder, name) == listed_before(folder, name));
    FUZZ_CHECK(platform::list_order_less(name, folder) == listed_before(name, folder));
    // The folder's own sort, which compares keys past the names' shared
    // beginning, must give the same order; each name also comes with a
    // shared beginning of its own.
    platform::name_list names;
    for (const std::string_view text : {std::string_view(folder), std::string_view(name), std::string_view(o.must_contain),
                                        std::string_view(o.must_not_contain), std::string_view(o.pattern),
                                        std::string_view(o.replace_what), std::string_view(o.replace_with),
                                        std::string_view(o.new_extension)}) {
        names.push_back(text);
        names.push_back("IMG_2024_" + std::string(text));
    }
    names.sort();
    for (std::size_t i = 1; i < names.size(); ++i)
        FUZZ_CHECK(!listed_before(std::string(names[i]), std::string(names[i - 1])));
    return 0;
}

#pragma once

// The renamer's rules: which files take part in a run and what each one is
// called afterwards. Everything here works on byte strings exactly as the
// folder listing gave them, so a name that is not valid UTF-8 is matched and
// rebuilt byte for byte. Every rule needs only ASCII ('.', '*', ' ', digits,
// the separator), which keeps byte operations exact for UTF-8 text as well.

#include "platform/files/separator.h"

#include <array>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace renamer {

// The rules take the separator as a parameter so that they behave the same
// with '\' as with '/'; the platform's own is the default.
inline constexpr char native_separator = platform::path_separator;

// The main window's inputs, as read at the moment a file is handled.
struct rename_options {
    std::string must_contain;
    std::string must_not_contain;
    bool change_extension = false;
    std::string new_extension;
    bool strip_extension = false;
    bool use_pattern = false;
    std::string pattern;
    std::string replace_what;
    std::string replace_with;
};

// Leading and trailing U+0020 removed; tabs and other white space stay.
std::string_view trimmed(std::string_view text);
bool is_blank(std::string_view text);

// Left to right, non-overlapping, never re-scanning inserted text. An empty
// search text leaves the text as it is.
std::string replace_all(std::string_view text, std::string_view what, std::string_view with);
// The same, appended to `out`, which a caller can keep from one name to the
// next so that its buffer is made once.
void append_replaced(std::string& out, std::string_view text, std::string_view what, std::string_view with);

bool passes_filters(const rename_options& options, std::string_view name);

// The new name for the file at `index` of the list, or nothing when the
// filters skip it. The new name may equal the old one.
std::optional<std::string> make_new_name(const rename_options& options, std::string_view name,
                                         std::int64_t index);
// The same into `out`, which a run keeps from one file to the next so that
// its buffer is made once; false when the filters skip the file.
bool make_new_name(std::string& out, const rename_options& options, std::string_view name, std::int64_t index);

// The full path used on disk: exactly one separator between folder and name.
std::string join_path(std::string_view folder, std::string_view name,
                      char separator = native_separator);

// One line of the full-path list, as the pieces a list appends: the folder,
// one separator, the name. A root folder gives a doubled separator here,
// which collapse_double_backslash mends once the whole list is built.
std::array<std::string_view, 3> listing_pieces(std::string_view folder, std::string_view name,
                                               char separator = native_separator);
// The same line whole.
std::string listing_line(std::string_view folder, std::string_view name,
                         char separator = native_separator);
std::string collapse_double_backslash(std::string_view list, char separator = native_separator);

// Appends `line` to a CR LF separated list: the list becomes the line when it
// is empty, otherwise gains CR, LF and the line. Amortised O(1) per line.
// A line may also be given as its pieces, which are appended one after
// another.
void append_list_line(std::string& list, std::initializer_list<std::string_view> pieces);
inline void append_list_line(std::string& list, std::string_view line)
{
    append_list_line(list, {line});
}

} // namespace renamer

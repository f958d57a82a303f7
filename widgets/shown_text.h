#pragma once

// Showing byte strings in widgets. A file name may be any byte string, so
// what a widget shows is a lossy rendering: each byte that does not start a
// valid UTF-8 sequence shows as U+FFFD. The rendering is done here, by one
// walk over the bytes, so that a position in the shown text can be taken back
// to the exact bytes it came from.

#include <QString>
#include <string>
#include <string_view>

namespace widgets {

// With `crlf_as_newline`, CR LF shows as one line break, as the text boxes
// show their lists; the line break then stands for both bytes.
QString shown_text(std::string_view bytes, bool crlf_as_newline = false);

// The byte offset in `bytes` where the shown character at `shown_offset`
// (in UTF-16 units of shown_text) starts; the size of `bytes` at or past the
// end. An offset inside a surrogate pair counts as the pair's start.
std::size_t byte_offset(std::string_view bytes, qsizetype shown_offset, bool crlf_as_newline = false);

// The inverse direction for text the user typed, in which a line break
// stands for CR LF again.
std::string typed_bytes(const QString& shown, bool crlf_as_newline = false);

} // namespace widgets

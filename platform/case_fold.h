#pragma once

// Names as a file system that ignores case compares them (FAT, exFAT, NTFS,
// a case-folding ext4): by Unicode's simple case folding, one code point for
// one. Bytes that are not UTF-8 stand for themselves.

#include <string>
#include <string_view>

namespace platform {

std::string fold_case(std::string_view name);
// The same into `out`, whose room a caller folding many names keeps.
void fold_case(std::string_view name, std::string& out);
bool equal_without_case(std::string_view a, std::string_view b);
// Whether a character beyond ASCII in the name folds to another: where none
// does, folding the name folds its ASCII letters alone.
bool folds_beyond_ascii(std::string_view name);

// The name with every letter that has another case put in it, or the name
// itself when none has; how a folder is asked whether it ignores case.
std::string in_other_case(std::string_view name);

} // namespace platform

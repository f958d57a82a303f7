#pragma once

// Names as a file system that ignores case compares them (FAT, exFAT, NTFS,
// a case-folding ext4): by Unicode's simple case folding, one code point for
// one. Bytes that are not UTF-8 stand for themselves.

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Eight bytes of a name, as read into one number, with the ASCII capitals
// among them made small and every other byte left as it is: the high bit of
// each byte from 'A' to 'Z' moved to its 0x20 bit, on the low seven bits
// alone, so that no sum carries into the next byte.
inline std::uint64_t ascii_lower_word(std::uint64_t bytes)
{
    constexpr std::uint64_t ones = 0x0101010101010101u, high_bits = 0x8080808080808080u;
    const std::uint64_t low = bytes & ~high_bits;
    const std::uint64_t above = low + (0x7f - 'Z') * ones;
    const std::uint64_t from_a = low + (0x80 - 'A') * ones;
    return bytes | (from_a & ~above & ~bytes & high_bits) >> 2;
}

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

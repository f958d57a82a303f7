#include "case_fold.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>

namespace platform {

namespace {

struct fold_pair {
    std::uint32_t from, to;
};

constexpr fold_pair folds[] = {
#include "case_fold_table.inc"
};

// What a byte that starts no UTF-8 sequence decodes to: above every code
// point, so that it equals only itself and folds to nothing else.
constexpr std::uint32_t stray_byte = 0x200000;

// The code point at `at`, and how many bytes it takes.
std::uint32_t decode(std::string_view text, std::size_t at, std::size_t& length)
{
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    length = 1;
    std::size_t more = 0;
    std::uint32_t point = 0;
    if (lead < 0x80)
        return lead;
    if (lead >= 0xC2 && lead <= 0xDF) {
        more = 1;
        point = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        more = 2;
        point = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        more = 3;
        point = lead & 0x07;
    } else {
        return stray_byte + lead;
    }
    if (at + more >= text.size())
        return stray_byte + lead;
    for (std::size_t k = 1; k <= more; ++k) {
        if ((byte(at + k) & 0xC0) != 0x80)
            return stray_byte + lead;
        point = point << 6 | (byte(at + k) & 0x3F);
    }
    // Overlong forms and surrogates are not UTF-8, and fold as their bytes.
    static constexpr std::uint32_t least[] = {0, 0x80, 0x800, 0x10000};
    if (point < least[more] || point > 0x10FFFF || (point >= 0xD800 && point <= 0xDFFF))
        return stray_byte + lead;
    length = more + 1;
    return point;
}

void encode(std::string& out, std::uint32_t point)
{
    if (point >= stray_byte) {
        out += static_cast<char>(point - stray_byte);
    } else if (point < 0x80) {
        out += static_cast<char>(point);
    } else if (point < 0x800) {
        out += static_cast<char>(0xC0 | point >> 6);
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else if (point < 0x10000) {
        out += static_cast<char>(0xE0 | point >> 12);
        out += static_cast<char>(0x80 | (point >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | point >> 18);
        out += static_cast<char>(0x80 | (point >> 12 & 0x3F));
        out += static_cast<char>(0x80 | (point >> 6 & 0x3F));
        out += static_cast<char>(0x80 | (point & 0x3F));
    }
}

// Which blocks of 256 code points hold a letter that folds: most names
// beyond ASCII are Chinese, whose blocks hold none, and are folded then
// without a search of the table.
constexpr std::uint32_t block_count = 0x1F000 / 256;
static_assert((std::end(folds) - 1)->from < 0x1F000);
template <std::uint32_t fold_pair::*point>
constexpr std::array<bool, block_count> blocks_of()
{
    std::array<bool, block_count> blocks{};
    for (const auto& pair : folds)
        blocks[pair.*point / 256] = true;
    return blocks;
}
constexpr auto blocks_that_fold = blocks_of<&fold_pair::from>();
// And which hold a letter another folds to.
constexpr auto blocks_folded_to = blocks_of<&fold_pair::to>();

std::uint32_t fold(std::uint32_t point)
{
    if (point < 0x80)
        return point >= 'A' && point <= 'Z' ? point - 'A' + 'a' : point;
    if (point / 256 >= block_count || !blocks_that_fold[point / 256])
        return point;
    const auto it = std::lower_bound(std::begin(folds), std::end(folds), point,
                                     [](const fold_pair& p, std::uint32_t x) { return p.from < x; });
    return it != std::end(folds) && it->from == point ? it->to : point;
}

template <typename Each>
void for_each_point(std::string_view text, Each each)
{
    for (std::size_t at = 0, length = 0; at < text.size(); at += length)
        each(decode(text, at, length));
}

} // namespace

std::string fold_case(std::string_view name)
{
    std::string out;
    fold_case(name, out);
    return out;
}

void fold_case(std::string_view name, std::string& out)
{
    out.clear();
    out.reserve(name.size());
    for_each_point(name, [&](std::uint32_t point) { encode(out, fold(point)); });
}

bool folds_beyond_ascii(std::string_view name)
{
    for (std::size_t at = 0, length = 1; at < name.size(); at += length) {
        length = 1;
        if (static_cast<unsigned char>(name[at]) < 0x80)
            continue;
        const std::uint32_t point = decode(name, at, length);
        if (point < stray_byte && fold(point) != point)
            return true;
    }
    return false;
}

bool equal_without_case(std::string_view a, std::string_view b)
{
    return a == b || fold_case(a) == fold_case(b);
}

std::string in_other_case(std::string_view name)
{
    std::string out;
    out.reserve(name.size());
    for_each_point(name, [&](std::uint32_t point) {
        std::uint32_t other = fold(point);
        if (point < 0x80) {
            if (point >= 'a' && point <= 'z')
                other = point - 'a' + 'A';
        } else if (other == point && point / 256 < block_count && blocks_folded_to[point / 256]) {
            // A letter that is its own fold: another letter folds to it.
            const auto it = std::find_if(std::begin(folds), std::end(folds),
                                         [&](const fold_pair& p) { return p.to == point; });
            if (it != std::end(folds))
                other = it->from;
        }
        encode(out, other);
    });
    return out;
}

} // namespace platform

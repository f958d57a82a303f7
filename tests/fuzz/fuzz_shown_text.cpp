// The shown rendering of byte strings and the way back from a shown position
// to its bytes, against a decoder written here from the UTF-8 definition.

#include "fuzz_input.h"

#include "widgets/shown_text.h"

#include <vector>

namespace {

struct shown_char {
    std::size_t start;   // its first byte
    char32_t code;
    bool bad;            // stands for a byte that begins no sequence
};

// Each byte that does not begin a well-formed sequence (RFC 3629: no
// overlong form, no surrogate, nothing past U+10FFFF) stands for U+FFFD.
std::vector<shown_char> decode(const std::string& s, bool crlf)
{
    std::vector<shown_char> out;
    std::size_t i = 0;
    while (i < s.size()) {
        const unsigned b = static_cast<unsigned char>(s[i]);
        if (crlf && b == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
            out.push_back({i, U'\n', false});
            i += 2;
            continue;
        }
        int ones = 0;
        while (ones < 8 && (b & (0x80u >> ones)))
            ++ones;
        std::size_t length = ones == 0 ? 1 : std::size_t(ones);
        char32_t code = ones == 0 ? b : (b & (0xffu >> (ones + 1)));
        bool good = ones == 0 || (ones >= 2 && ones <= 4 && i + length <= s.size());
        for (std::size_t k = 1; good && k < length; ++k) {
            const unsigned c = static_cast<unsigned char>(s[i + k]);
            good = c >= 0x80 && c < 0xc0;
            code = (code << 6) | (c & 0x3f);
        }
        const char32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (good && ones >= 2)
            good = code >= smallest[ones] && code <= 0x10ffff && (code < 0xd800 || code > 0xdfff);
        if (!good) {
            code = 0xfffd;
            length = 1;
        }
        out.push_back({i, code, !good});
        i += length;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    fuzz_input in{data, size};
    const bool crlf = in.flag();
    const std::string bytes = in.rest();
    const auto chars = decode(bytes, crlf);

    QString expected;
    std::vector<std::size_t> start_of_unit;
    for (const auto& c : chars) {
        const QString one = QString::fromUcs4(&c.code, 1);
        expected += one;
        start_of_unit.insert(start_of_unit.end(), std::size_t(one.size()), c.start);
    }
    const QString shown = widgets::shown_text(bytes, crlf);
    FUZZ_CHECK(shown == expected);
    for (qsizetype unit = 0; unit <= shown.size() + 1; ++unit) {
        const std::size_t want = unit < shown.size() ? start_of_unit[std::size_t(unit)] : bytes.size();
        FUZZ_CHECK(widgets::byte_offset(bytes, unit, crlf) == want);
    }
    // Valid UTF-8 comes back byte for byte from what was shown.
    bool valid = true;
    for (const auto& c : chars)
        valid = valid && !c.bad;
    if (valid && !crlf)
        FUZZ_CHECK(widgets::typed_bytes(shown, false) == bytes);
    return 0;
}

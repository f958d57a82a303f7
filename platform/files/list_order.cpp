#include "list_order.h"
#include "case_fold.h"
#include "name_list.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

namespace platform {

namespace {

unsigned char ascii_lower(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

// The eight bytes of a name from `at` on, folded as list_order_less folds
// them and read as one big-endian number, so that comparing two keys
// compares those bytes in list order; a name that ends sooner is padded with
// zeros and so comes first, as it must, since no name holds a NUL.
std::uint64_t folded_key(std::string_view name, std::size_t at)
{
    std::uint64_t key = 0;
    for (std::size_t k = 0; k < 8; ++k) {
        const std::size_t i = at + k;
        key = key << 8 | (i < name.size() ? ascii_lower(static_cast<unsigned char>(name[i])) : 0u);
    }
    return key;
}

} // namespace

void name_list::sort(known_order known)
{
    // A folder often lists in order already, or in reverse (a memory file
    // system gives its newest entries first, and a run renames in list
    // order); one look along the list then saves the sort.
    const std::size_t count = size();
    bool forward = known != known_order::backward, backward = known != known_order::forward;
    for (std::size_t i = 1; i < count && known == known_order::none && (forward || backward); ++i) {
        forward = forward && !list_order_less((*this)[i], (*this)[i - 1]);
        backward = backward && !list_order_less((*this)[i - 1], (*this)[i]);
    }
    if (forward)
        return;
    if (backward) {
        std::reverse(m_places.begin(), m_places.end());
        return;
    }
    // The names of one folder often share a long beginning ("IMG_2024…"):
    // the sort orders by the eight bytes past it, read as one number, and by
    // whole names only where those are equal. Sorting numbers by their
    // digits takes a few passes over the list and no comparisons, so a
    // hundred thousand names sort in a few milliseconds, short enough to
    // keep the window answering while a large folder is read.
    std::size_t common = (*this)[0].size();
    for (std::size_t i = 1; i < count && common > 0; ++i) {
        const std::string_view a = (*this)[0], b = (*this)[i];
        std::size_t k = 0;
        while (k < common && k < b.size() && a[k] == b[k])
            ++k;
        common = k;
    }
    struct keyed {
        std::uint64_t key;
        slot at;
    };
    std::vector<keyed> keys(count);
    for (std::size_t i = 0; i < count; ++i)
        keys[i] = {folded_key((*this)[i], common), m_places[i]};
    // By the keys, lowest digits first, each pass a count skipped where all
    // keys agree in that digit. A large folder takes sixteen bits a digit,
    // four passes; a small one eight bits, since clearing and summing 65,536
    // counts would cost it far more than its names do.
    const int digit_bits = count < 4096 ? 8 : 16;
    const std::uint64_t digit_mask = (std::uint64_t(1) << digit_bits) - 1;
    std::vector<keyed> spare(count);
    std::vector<std::size_t> starts(std::size_t(1) << digit_bits);
    for (int shift = 0; shift < 64; shift += digit_bits) {
        std::fill(starts.begin(), starts.end(), 0);
        for (const keyed& k : keys)
            ++starts[(k.key >> shift) & digit_mask];
        if (starts[(keys[0].key >> shift) & digit_mask] == count)
            continue;
        std::size_t at = 0;
        for (auto& start : starts)
            at += std::exchange(start, at);
        for (const keyed& k : keys)
            spare[starts[(k.key >> shift) & digit_mask]++] = k;
        keys.swap(spare);
    }
    // Then each run of equal keys by whole names.
    const auto name_at = [this](const slot& at) { return std::string_view(m_bytes.data() + at.start, at.length); };
    for (std::size_t first = 0; first < count;) {
        std::size_t last = first + 1;
        while (last < count && keys[last].key == keys[first].key)
            ++last;
        if (last - first > 1)
            std::sort(keys.begin() + std::ptrdiff_t(first), keys.begin() + std::ptrdiff_t(last),
                      [&](const keyed& a, const keyed& b) { return list_order_less(name_at(a.at), name_at(b.at)); });
        first = last;
    }
    for (std::size_t i = 0; i < count; ++i)
        m_places[i] = keys[i].at;
}

std::vector<std::uint32_t> name_list::order_added() const
{
    std::vector<std::uint32_t> order(size());
    for (std::size_t i = 0; i < size(); ++i)
        order[m_places[i].added] = static_cast<std::uint32_t>(i);
    return order;
}

std::vector<std::string> name_list::to_strings() const
{
    return {begin(), end()};
}

bool list_order_less(std::string_view a, std::string_view b)
{
    const auto n = std::min(a.size(), b.size());
    // Names of one folder often share a long beginning: it is passed over
    // eight bytes at a time, since equal bytes are equal in any case.
    std::size_t i = 0;
    for (std::uint64_t x, y; i + 8 <= n; i += 8) {
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x != y)
            break;
    }
    // Then eight bytes at a time with their capitals made small, which
    // names alike but for case need all the way along; the first byte that
    // differs so decides.
    for (std::uint64_t x, y; i + 8 <= n; i += 8) {
        std::memcpy(&x, a.data() + i, 8);
        std::memcpy(&y, b.data() + i, 8);
        if (x == y)
            continue;
        x = ascii_lower_word(x);
        y = ascii_lower_word(y);
        if (x != y) {
            if constexpr (std::endian::native == std::endian::little) {
                const int shift = std::countr_zero(x ^ y) & ~7;
                return (x >> shift & 0xff) < (y >> shift & 0xff);
            } else {
                const int shift = 56 - (std::countl_zero(x ^ y) & ~7);
                return (x >> shift & 0xff) < (y >> shift & 0xff);
            }
        }
    }
    for (; i < n; ++i) {
        if (a[i] == b[i])
            continue;
        const auto ca = ascii_lower(static_cast<unsigned char>(a[i]));
        const auto cb = ascii_lower(static_cast<unsigned char>(b[i]));
        if (ca != cb)
            return ca < cb;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;
}

} // namespace platform

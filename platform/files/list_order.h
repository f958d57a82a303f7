#pragma once

// The order in which a folder's names are listed, which decides the index a
// name pattern gives each file.

#include <string_view>

namespace platform {

// ASCII letters compare without regard to case, every other byte by its
// value, and where two names are equal that way (such as "A.txt" and
// "a.txt") plain byte order decides. The order is total, so the same folder
// always lists the same way.
bool list_order_less(std::string_view a, std::string_view b);

} // namespace platform

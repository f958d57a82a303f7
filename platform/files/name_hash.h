#pragma once

// The one hash of names for every table of names: XXH3 (xxHash), whose every
// output bit depends on every input byte, so that names alike but for their
// last bytes, as cameras and scanners number them, spread over the whole
// table like any others.

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

std::uint64_t name_hash(std::string_view name);

// For the standard library's hash containers of names.
struct name_hasher {
    using is_transparent = void;
    std::size_t operator()(std::string_view name) const { return static_cast<std::size_t>(name_hash(name)); }
    std::size_t operator()(const std::string& name) const { return operator()(std::string_view(name)); }
};

} // namespace platform

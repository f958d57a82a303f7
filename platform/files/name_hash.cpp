#include "name_hash.h"

#include <xxhash.h>

namespace platform {

std::uint64_t name_hash(std::string_view name)
{
    return XXH3_64bits(name.data(), name.size());
}

} // namespace platform

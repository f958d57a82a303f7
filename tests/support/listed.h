#pragma once

// What the two list boxes hold for a folder's names: the full paths (Text1)
// or the names (Text2), joined as the window joins them.

#include "core/rules.h"

#include <string>
#include <vector>

inline std::string listed(const std::string& folder, const std::vector<std::string>& names, bool paths)
{
    std::string out;
    for (const auto& name : names)
        renamer::append_list_line(out, paths ? renamer::listing_line(folder, name) : name);
    return paths ? renamer::collapse_double_backslash(out) : out;
}

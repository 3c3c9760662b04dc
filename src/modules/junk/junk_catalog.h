#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "modules/junk/junk_category.h"

namespace purvex::junk {

// The folder icon, shown for deep-scan groups and for any id the catalog does not know.
inline constexpr std::uint16_t kFolderIcon = 17;

// The sixteen built-in categories in their fixed order: the quick scan works, groups and
// resolves overlaps in this order. Built on first use, never changed, never freed.
const std::vector<JunkCategory>& BuiltinJunkCatalog();

// The icon of the built-in category with exactly this id, else kFolderIcon.
std::uint16_t JunkCategoryIcon(std::string_view id);

}  // namespace purvex::junk

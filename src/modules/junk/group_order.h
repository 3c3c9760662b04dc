#pragma once

#include "modules/junk/junk_scan_types.h"

namespace purvex::junk {

// Orders a group's items largest first, equal sizes by path in code-unit order (so the order
// never depends on a walk's timing), keeps itemRoots parallel and sums totalBytes.
void SortGroupItems(JunkGroup& group);

}  // namespace purvex::junk

#pragma once

#include <cstdint>

#include "core/delete_types.h"
#include "core/fs/walker.h"
#include "modules/bigfiles/source_tag.h"

namespace purvex::bigfiles {

// One kept large file: what the scan saw of it, then its classification. Until it is
// classified it reads as an untagged file of high risk.
struct BigFileItem : core::FileEntry {
    SourceTag tag = SourceTag::Other;
    SourceTag secondaryTag = SourceTag::Other;
    std::int32_t level = 3;
    core::Risk risk = core::Risk::High;
    bool slimLink = false;
};

}  // namespace purvex::bigfiles

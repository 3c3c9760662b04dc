#pragma once

#include <cstdint>
#include <string_view>

#include "core/delete_types.h"
#include "modules/bigfiles/source_tag.h"

namespace purvex::bigfiles {

// What a large file's path says about it: its type or area, the user folder or area it lies
// in, how risky deleting it is (levels 1 to 5; 4 and 5 are locked: Program Files, Windows and
// system areas), and whether System Slimming can reduce it instead.
struct BigFileClass {
    SourceTag tag = SourceTag::Other;
    SourceTag secondaryTag = SourceTag::Other;
    std::int32_t level = 3;
    core::Risk risk = core::Risk::High;
    bool slimLink = false;
};

// Classifies from the path alone, through fixed tables; touches no file. An empty
// windowsFolder stands for the system's own (SystemWindowsFolder).
BigFileClass ClassifyBigFile(std::wstring_view path, std::wstring_view windowsFolder = {});

}  // namespace purvex::bigfiles

#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/delete_types.h"

namespace purvex::junk {

// Which files of a category are old enough to take.
enum class AgeRule : std::uint8_t {
    None = 0,         // every file
    TempSetting = 1,  // the user's minimum age for temporary files
    Fixed = 2,        // the category's own ageHours
};

// One folder template of a category with the file names it takes there.
struct JunkLocation {
    std::wstring pathTemplate;  // "%LOCALAPPDATA%\…", '*' segments for every subfolder
    std::wstring patterns;      // "a*.db;b*.db"; empty takes every file
    bool recursive = true;      // false: only files directly in the folder
};

// One entry of the junk catalog: where a kind of rebuildable file lives and how it is shown.
struct JunkCategory {
    std::string_view id;       // "junk." + short name
    std::string_view nameKey;  // "junk.cat." + short name + ".name"
    std::string_view descKey;  // "junk.cat." + short name + ".desc"
    std::uint16_t icon = 0;    // toolkit icon id
    core::Risk risk = core::Risk::Low;
    bool defaultSelected = false;
    bool isRecycleBin = false;  // no locations: sized and emptied through the shell
    AgeRule ageRule = AgeRule::None;
    std::uint32_t ageHours = 0;  // for AgeRule::Fixed
    std::vector<JunkLocation> locations;
    std::vector<std::wstring_view> skipNames;  // file names never taken, any case
};

}  // namespace purvex::junk

#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace purvex::core {

// The names are also the texts written to the log.
enum class SafetyVerdict : std::uint8_t {
    Allow = 0,
    DenyEmpty = 1,         // empty or not a usable absolute path
    DenyOutsideRoot = 2,   // not strictly under any of the caller's allowed roots
    DenyProtected = 3,     // in a critical area or a browser's private data, not in junk
    DenyCritical = 4,      // a drive or share root, or exactly a protected location
    DenyReparse = 5,       // the way down from the root passes through a reparse point
    DenyUserExcluded = 6,  // the user excluded it or a folder above it
};

std::wstring_view SafetyVerdictName(SafetyVerdict verdict);

struct SafetyCheck {
    SafetyVerdict verdict = SafetyVerdict::DenyEmpty;
    std::wstring path;  // normal form; empty for DenyEmpty
    std::wstring root;  // the allowed root judged under: Allow, DenyProtected, DenyReparse
};

}  // namespace purvex::core

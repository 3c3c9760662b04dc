#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/delete_types.h"

namespace purvex::app {

enum class ThemeMode : std::uint8_t { System = 0, Light = 1, Dark = 2 };

// The user's choices. One process-wide copy exists; readers take copies.
struct SettingsData {
    std::wstring language;  // empty: the Windows display language
    ThemeMode theme = ThemeMode::System;
    core::DeleteMode junkDeleteMode = core::DeleteMode::Permanent;
    core::DeleteMode bigFilesDeleteMode = core::DeleteMode::Recycle;
    core::DeleteMode socialDeleteMode = core::DeleteMode::Recycle;
    std::int32_t tempMinAgeHours = 24;     // 0 to 8760; 0 is off
    std::int32_t bigFilesMinSizeMB = 500;  // 1 to 1,048,576
    std::int32_t socialMinAgeDays = 0;     // 0 to 3650; 0 is all files
    bool deepScanForceWalk = false;
    std::vector<std::wstring> exclusions;  // no two equal ignoring case
    std::int32_t windowX = 0;              // -32,767 to 32,767
    std::int32_t windowY = 0;              // -32,767 to 32,767
    std::int32_t windowWidth = 0;          // 0 to 32,767; 0 is no saved placement
    std::int32_t windowHeight = 0;         // 0 to 32,767
    bool windowMaximized = false;
    core::DeleteMode videoDeleteMode = core::DeleteMode::Recycle;
    std::int32_t videoMinAgeDays = 0;  // 0 to 3650

    bool operator==(const SettingsData&) const = default;
};

// A copy of the process-wide settings.
SettingsData GetSettings();
// Replaces the process-wide settings; does not write the file.
void SetSettings(const SettingsData& settings);
// Writes the current settings to SettingsPath() atomically; false with the thread's last error
// set when that failed (the previous file is then left as it was).
bool SaveSettings();
// "settings.ini" in the data folder, or empty without a data folder.
std::wstring SettingsPath();

// The whole file when it exists and holds at most 4 MiB.
bool ReadSettingsFile(const std::wstring& path, std::string& bytes);
// Never fails: what cannot be understood keeps its default.
SettingsData ParseSettings(std::string_view bytes);
// The canonical file text: UTF-8, CR LF, every key present.
std::string SerializeSettings(const SettingsData& settings);

// The points of a save after which a failure can strike, for tests to interrupt it.
enum class SaveStep { Opened, Written, Flushed };
using SaveInterruption = std::function<bool(SaveStep)>;

// Replaces folder\settings.ini with `bytes` through folder\settings.ini.tmp: either the old
// or the new complete file remains, and no temporary file. `interrupt` returning false at a
// step makes the save fail there. False with the thread's last error set on failure.
bool WriteSettingsFileAtomically(const std::wstring& folder, std::string_view bytes,
                                 const SaveInterruption& interrupt = {});

}  // namespace purvex::app

#pragma once

#include <string>

namespace purvex::app {

// Where the program lives and keeps its files; fixed once at start-up, read-only afterwards.
// A folder that could not be determined is empty, and every user checks for that.
struct AppPaths {
    std::wstring programFolder;
    std::wstring dataFolder;
    std::wstring logsFolder;
    bool portable = false;
};

// Process-wide values; Set is called once by start-up before any worker exists.
const AppPaths& GetAppPaths();
void SetAppPaths(AppPaths paths);

// The user's local application data folder without trailing separators, or empty.
std::wstring FindLocalAppDataFolder();
// The folder of the running program file, without any long-path prefix, or empty.
std::wstring FindProgramFolder();
// Portable when "portable.ini" is a file in the program folder; only its presence counts.
AppPaths ChooseAppPaths(const std::wstring& programFolder, const std::wstring& localAppData);
// Creates the data and logs folders; failures are left for their users to notice.
void CreateAppFolders(const AppPaths& paths);

// Drops trailing '\' and '/'.
std::wstring TrimTrailingSeparators(std::wstring path);

}  // namespace purvex::app

#pragma once

#include <string>

namespace purvex::app {

// Opens the log in the logs folder, prunes its old files and writes the opening line. Without
// a usable logs folder the run goes on without file logging.
void OpenRunLog(const std::wstring& logsFolder);

// Replaces the process-wide settings with those of settings.ini in the data folder, or with
// the defaults when there is no data folder or the file cannot be read; logs which.
void LoadRunSettings();

// Writes the closing line and closes the log files.
void CloseRunLog();

}  // namespace purvex::app

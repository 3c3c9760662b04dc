#include "app/run_log_and_settings.h"

#include <string>

#include "app/settings.h"
#include "core/log.h"

namespace purvex::app {

void OpenRunLog(const std::wstring& logsFolder) {
    core::Log& log = core::Log::Instance();
    log.Open(logsFolder);
    if (log.IsEnabled()) {
        log.RemoveOldFiles();
    }
    core::LogWrite(core::LogLevel::Info, L"Purvex starting");
}

void LoadRunSettings() {
    SettingsData settings;
    const std::wstring path = SettingsPath();
    if (!path.empty()) {
        std::string bytes;
        if (ReadSettingsFile(path, bytes)) {
            settings = ParseSettings(bytes);
            core::LogWrite(core::LogLevel::Info, L"Settings loaded from " + path);
        } else {
            core::LogWrite(core::LogLevel::Info,
                           L"Settings file not found or unreadable, using defaults: " + path);
        }
    }
    SetSettings(settings);
}

void CloseRunLog() {
    core::Log& log = core::Log::Instance();
    core::LogWrite(core::LogLevel::Info, L"Purvex exiting");
    log.Flush();
    log.Close();
}

}  // namespace purvex::app

#include "app/startup_language.h"

#include <string>

#include "app/language_choice.h"
#include "app/localization.h"

namespace purvex::app {

void SelectStartupLanguage(std::wstring_view fromCommandLine, std::wstring_view fromSettings) {
    const std::wstring_view wanted = fromCommandLine.empty() ? fromSettings : fromCommandLine;
    if (!wanted.empty() && SetLanguage(wanted)) {
        return;
    }
    SetLanguage(DetectSystemLanguage());
}

}  // namespace purvex::app

#include "ui/startup_theme.h"

#include "app/localization.h"
#include "ui/theme.h"

namespace purvex::ui {

void ApplyStartupTheme(ThemeMode saved, std::wstring_view forced) {
    Theme& theme = Theme::Get();
    theme.SetLanguage(app::CurrentLanguage());
    theme.Init(saved);
    // The theme lives for the whole run, so one subscription is enough however often this runs.
    static const int subscription =
        app::AddLanguageListener([] { Theme::Get().SetLanguage(app::CurrentLanguage()); });
    (void)subscription;
    if (forced == L"light") {
        theme.SetMode(ThemeMode::Light);
    } else if (forced == L"dark") {
        theme.SetMode(ThemeMode::Dark);
    }
}

}  // namespace purvex::ui

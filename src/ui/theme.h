#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ui/palette.h"
#include "ui/theme_mode.h"

namespace purvex::ui {

// The font family for a UI language: the one Windows ships for its script, else an installed
// family of the same script, else Segoe UI with system fallback for the glyphs it lacks.
std::wstring ChooseFontFamily(std::wstring_view languageCode,
                              bool (*hasFamily)(const wchar_t* family));

// The process-wide colours and font of the interface. UI thread only.
class Theme {
public:
    using Listener = std::function<void()>;

    // The instance, initialised on first use from the system's settings.
    static Theme& Get();

    // Sets the mode and re-reads the system preference and accent, without notifying: used
    // once at start-up before any window exists.
    void Init(ThemeMode mode);
    void SetMode(ThemeMode mode);
    // Re-reads the light/dark preference and the accent (after Windows announced a change).
    void RefreshSystem();
    // Chooses the font for the language; notifies when it changed.
    void SetLanguage(std::wstring_view languageCode);
    void SetBackdropActive(bool active);
    // Set while a screenshot renders: the backdrop tints turn opaque.
    void SetScreenshotMode(bool on);

    [[nodiscard]] Color Role(int role) const;
    [[nodiscard]] const std::wstring& FontFamily() const noexcept { return fontFamily_; }
    [[nodiscard]] const std::wstring& LanguageCode() const noexcept { return language_; }
    [[nodiscard]] bool IsDark() const noexcept { return isDark_; }
    [[nodiscard]] ThemeMode Mode() const noexcept { return mode_; }
    [[nodiscard]] bool BackdropActive() const noexcept { return backdropActive_; }
    [[nodiscard]] bool ScreenshotMode() const noexcept { return screenshotMode_; }
    // Grows whenever anything visible changed; caches built from the theme compare it.
    [[nodiscard]] std::uint64_t Generation() const noexcept { return generation_; }

    int AddThemeListener(Listener listener);
    void RemoveThemeListener(int id);

private:
    Theme();
    void Rebuild();
    void Notify();

    ThemeMode mode_ = ThemeMode::System;
    bool systemDark_ = false;
    AccentShades accent_ = DefaultAccentShades();
    Palette palette_{};
    bool isDark_ = false;
    std::wstring fontFamily_;
    std::wstring language_;
    bool backdropActive_ = false;
    bool screenshotMode_ = false;
    std::uint64_t generation_ = 0;
    std::vector<std::pair<int, Listener>> listeners_;
    int nextListenerId_ = 1;
};

}  // namespace purvex::ui

namespace purvex::ui {

// The current palette's colour of a role.
inline Color RoleColor(int role) {
    return Theme::Get().Role(role);
}

}  // namespace purvex::ui

#include "ui/theme.h"

#include "ui/system_theme.h"

namespace purvex::ui {

std::wstring ChooseFontFamily(std::wstring_view code, bool (*hasFamily)(const wchar_t*)) {
    const wchar_t* wanted = nullptr;
    if (code == L"zh-CN") {
        wanted = L"Microsoft YaHei UI";
    } else if (code == L"zh-TW") {
        wanted = L"Microsoft JhengHei UI";
    } else if (code == L"ja") {
        wanted = L"Yu Gothic UI";
    } else if (code == L"ko") {
        wanted = L"Malgun Gothic";
    } else {
        wanted = L"Segoe UI Variable Text";
    }
    // A family that does not exist draws no text at all, so fall back to the one every
    // supported Windows has; its system fallback covers the CJK scripts.
    return hasFamily(wanted) ? wanted : L"Segoe UI";
}

Theme& Theme::Get() {
    static Theme instance;
    return instance;
}

Theme::Theme() {
    systemDark_ = ReadSystemPrefersDark();
    accent_ = ReadSystemAccentShades();
    fontFamily_ = ChooseFontFamily(language_, &SystemHasFontFamily);
    Rebuild();
}

void Theme::Init(ThemeMode mode) {
    mode_ = mode;
    systemDark_ = ReadSystemPrefersDark();
    accent_ = ReadSystemAccentShades();
    fontFamily_ = ChooseFontFamily(language_, &SystemHasFontFamily);
    Rebuild();
}

void Theme::SetMode(ThemeMode mode) {
    mode_ = mode;
    Rebuild();
    Notify();
}

void Theme::RefreshSystem() {
    systemDark_ = ReadSystemPrefersDark();
    accent_ = ReadSystemAccentShades();
    Rebuild();
    Notify();
}

void Theme::SetLanguage(std::wstring_view code) {
    if (code == language_ && !fontFamily_.empty()) {
        return;
    }
    language_ = code;
    std::wstring family = ChooseFontFamily(code, &SystemHasFontFamily);
    ++generation_;
    if (family != fontFamily_) {
        fontFamily_ = std::move(family);
        Notify();
    }
}

void Theme::SetBackdropActive(bool active) {
    if (active == backdropActive_) {
        return;
    }
    backdropActive_ = active;
    Rebuild();
    Notify();
}

void Theme::SetScreenshotMode(bool on) {
    if (on != screenshotMode_) {
        screenshotMode_ = on;
        Rebuild();
    }
}

Color Theme::Role(int role) const {
    return role >= 0 && role < kRoleCount ? palette_[role] : palette_[role::kTextPrimary];
}

int Theme::AddThemeListener(Listener listener) {
    const int id = nextListenerId_++;
    listeners_.emplace_back(id, std::move(listener));
    return id;
}

void Theme::RemoveThemeListener(int id) {
    std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

void Theme::Rebuild() {
    isDark_ = mode_ == ThemeMode::Dark || (mode_ == ThemeMode::System && systemDark_);
    palette_ = BuildPalette({isDark_, accent_, backdropActive_, screenshotMode_});
    ++generation_;
}

void Theme::Notify() {
    // A listener may add or remove listeners; walk a copy.
    const auto listeners = listeners_;
    for (const auto& entry : listeners) {
        if (entry.second) {
            entry.second();
        }
    }
}

}  // namespace purvex::ui

#include "ui/theme.h"

#include "ui/system_theme.h"

namespace purvex::ui {

std::wstring ChooseFontFamily(std::wstring_view code, bool (*hasFamily)(const wchar_t*)) {
    // Each script's Windows family first. Where it is missing, the Noto family of the same
    // script keeps the language's own glyph forms, which system fallback would not: it sends
    // all Han text to one Chinese face.
    struct Choice {
        std::wstring_view code;
        const wchar_t* family;
        const wchar_t* alternative;
    };
    constexpr Choice kChoices[] = {
        {L"zh-CN", L"Microsoft YaHei UI", L"Noto Sans CJK SC"},
        {L"zh-TW", L"Microsoft JhengHei UI", L"Noto Sans CJK TC"},
        {L"ja", L"Yu Gothic UI", L"Noto Sans CJK JP"},
        {L"ko", L"Malgun Gothic", L"Noto Sans CJK KR"},
    };
    const wchar_t* wanted = L"Segoe UI Variable Text";
    const wchar_t* alternative = nullptr;
    for (const Choice& choice : kChoices) {
        if (choice.code == code) {
            wanted = choice.family;
            alternative = choice.alternative;
        }
    }
    if (hasFamily(wanted)) {
        return wanted;
    }
    if (alternative != nullptr && hasFamily(alternative)) {
        return alternative;
    }
    // A family that does not exist draws no text at all; every supported Windows has this one.
    return L"Segoe UI";
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

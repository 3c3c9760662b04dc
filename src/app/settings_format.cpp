#include <string>

#include "app/languages.h"
#include "app/settings.h"
#include "core/fs/paths.h"
#include "core/text.h"

namespace purvex::app {
namespace {

using core::DeleteMode;

constexpr std::int64_t kDigitCap = 922'337'203'685'477'570;

std::string_view Trim(std::string_view text) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string AsciiLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

void ParseTheme(std::string_view value, ThemeMode& theme) {
    const std::string v = AsciiLower(value);
    if (v == "system") {
        theme = ThemeMode::System;
    } else if (v == "light") {
        theme = ThemeMode::Light;
    } else if (v == "dark") {
        theme = ThemeMode::Dark;
    }
}

void ParseDeleteMode(std::string_view value, DeleteMode& mode) {
    const std::string v = AsciiLower(value);
    if (v == "permanent") {
        mode = DeleteMode::Permanent;
    } else if (v == "recycle") {
        mode = DeleteMode::Recycle;
    }
}

void ParseBool(std::string_view value, bool& flag) {
    const std::string v = AsciiLower(value);
    if (v == "true" || v == "1" || v == "yes" || v == "on") {
        flag = true;
    } else if (v == "false" || v == "0" || v == "no" || v == "off") {
        flag = false;
    }
}

// Sign and digits only; huge numbers saturate instead of overflowing, then clamp.
void ParseInt(std::string_view value, std::int32_t low, std::int32_t high, std::int32_t& field) {
    bool negative = false;
    if (!value.empty() && (value.front() == '+' || value.front() == '-')) {
        negative = value.front() == '-';
        value.remove_prefix(1);
    }
    if (value.empty()) {
        return;
    }
    std::int64_t number = 0;
    for (char c : value) {
        if (c < '0' || c > '9') {
            return;
        }
        if (number < kDigitCap) {
            number = number * 10 + (c - '0');
        }
    }
    if (negative) {
        number = -number;
    }
    field = static_cast<std::int32_t>(number < low ? low : (number > high ? high : number));
}

std::wstring ParseLanguage(std::string_view value) {
    if (!core::IsValidUtf8(value)) {
        return {};
    }
    const std::wstring code = core::Utf8ToWide(value);
    if (core::EqualsIgnoreCase(code, L"pt-BR")) {
        return L"pt-PT";
    }
    const LanguageInfo* language = FindLanguage(code);
    return language != nullptr ? std::wstring(language->code) : std::wstring();
}

void AddExclusion(std::string_view value, std::vector<std::wstring>& exclusions) {
    if (value.empty() || !core::IsValidUtf8(value)) {
        return;
    }
    std::wstring path = core::Utf8ToWide(value);
    for (const std::wstring& existing : exclusions) {
        if (core::EqualsIgnoreCase(existing, path)) {
            return;
        }
    }
    exclusions.push_back(std::move(path));
}

void ApplyValue(const std::string& section, const std::string& key, std::string_view value,
                SettingsData& s) {
    if (section == "general") {
        if (key == "language") {
            s.language = ParseLanguage(value);
        } else if (key == "theme") {
            ParseTheme(value, s.theme);
        }
    } else if (section == "clean") {
        if (key == "junkdeletemode") {
            ParseDeleteMode(value, s.junkDeleteMode);
        } else if (key == "bigfilesdeletemode") {
            ParseDeleteMode(value, s.bigFilesDeleteMode);
        } else if (key == "socialdeletemode") {
            ParseDeleteMode(value, s.socialDeleteMode);
        } else if (key == "videodeletemode") {
            ParseDeleteMode(value, s.videoDeleteMode);
        } else if (key == "tempminagehours") {
            ParseInt(value, 0, 8760, s.tempMinAgeHours);
        } else if (key == "bigfilesminsizemb") {
            ParseInt(value, 1, 1'048'576, s.bigFilesMinSizeMB);
        } else if (key == "socialminagedays") {
            ParseInt(value, 0, 3650, s.socialMinAgeDays);
        } else if (key == "videominagedays") {
            ParseInt(value, 0, 3650, s.videoMinAgeDays);
        } else if (key == "deepscanforcewalk") {
            ParseBool(value, s.deepScanForceWalk);
        }
    } else if (section == "exclusions") {
        AddExclusion(value, s.exclusions);
    } else if (section == "window") {
        if (key == "x") {
            ParseInt(value, -32767, 32767, s.windowX);
        } else if (key == "y") {
            ParseInt(value, -32767, 32767, s.windowY);
        } else if (key == "width") {
            ParseInt(value, 0, 32767, s.windowWidth);
        } else if (key == "height") {
            ParseInt(value, 0, 32767, s.windowHeight);
        } else if (key == "maximized") {
            ParseBool(value, s.windowMaximized);
        }
    }
}

// A value that would span lines would turn into keys of its own when read back.
bool FitsOnOneLine(std::wstring_view text) {
    for (wchar_t c : text) {
        if (c == L'\r' || c == L'\n' || c == L'\0') {
            return false;
        }
    }
    return true;
}

const char* ModeText(DeleteMode mode) {
    return mode == DeleteMode::Recycle ? "recycle" : "permanent";
}

const char* BoolText(bool value) {
    return value ? "true" : "false";
}

const char* ThemeText(ThemeMode theme) {
    switch (theme) {
        case ThemeMode::Light:
            return "light";
        case ThemeMode::Dark:
            return "dark";
        case ThemeMode::System:
            break;
    }
    return "system";
}

}  // namespace

SettingsData ParseSettings(std::string_view bytes) {
    SettingsData settings;
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
    }
    std::string section;
    while (!bytes.empty()) {
        const std::size_t end = bytes.find('\n');
        const std::string_view line =
            Trim(bytes.substr(0, end == std::string_view::npos ? bytes.size() : end));
        bytes.remove_prefix(end == std::string_view::npos ? bytes.size() : end + 1);
        if (line.empty() || line.front() == '#' || line.front() == ';') {
            continue;
        }
        if (line.front() == '[') {
            section = line.back() == ']' && line.size() >= 2
                          ? AsciiLower(Trim(line.substr(1, line.size() - 2)))
                          : std::string();
            continue;
        }
        const std::size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        const std::string key = AsciiLower(Trim(line.substr(0, equals)));
        if (key.empty() || section.empty()) {
            continue;
        }
        ApplyValue(section, key, Trim(line.substr(equals + 1)), settings);
    }
    return settings;
}

std::string SerializeSettings(const SettingsData& s) {
    std::string out;
    const auto line = [&out](std::string_view text) { out.append(text).append("\r\n"); };
    const auto entry = [&line](std::string_view key, std::string_view value) {
        line(std::string(key) + "=" + std::string(value));
    };
    line("; Purvex settings (UTF-8). Unknown or invalid values fall back to their defaults.");
    line("[general]");
    entry("language", FitsOnOneLine(s.language) ? core::WideToUtf8(s.language) : std::string());
    entry("theme", ThemeText(s.theme));
    line("");
    line("[clean]");
    entry("junkDeleteMode", ModeText(s.junkDeleteMode));
    entry("bigFilesDeleteMode", ModeText(s.bigFilesDeleteMode));
    entry("socialDeleteMode", ModeText(s.socialDeleteMode));
    entry("videoDeleteMode", ModeText(s.videoDeleteMode));
    entry("tempMinAgeHours", std::to_string(s.tempMinAgeHours));
    entry("bigFilesMinSizeMB", std::to_string(s.bigFilesMinSizeMB));
    entry("socialMinAgeDays", std::to_string(s.socialMinAgeDays));
    entry("videoMinAgeDays", std::to_string(s.videoMinAgeDays));
    entry("deepScanForceWalk", BoolText(s.deepScanForceWalk));
    line("");
    line("[exclusions]");
    for (const std::wstring& path : s.exclusions) {
        if (!path.empty() && FitsOnOneLine(path)) {
            entry("path", core::WideToUtf8(path));
        }
    }
    line("");
    line("[window]");
    entry("x", std::to_string(s.windowX));
    entry("y", std::to_string(s.windowY));
    entry("width", std::to_string(s.windowWidth));
    entry("height", std::to_string(s.windowHeight));
    entry("maximized", BoolText(s.windowMaximized));
    return out;
}

}  // namespace purvex::app

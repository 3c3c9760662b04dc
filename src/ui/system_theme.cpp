#include "ui/system_theme.h"

#include <windows.h>

#include <dwmapi.h>
#include <dwrite.h>

#include <cstdint>
#include <vector>

#include "core/com_ptr.h"
#include "ui/graphics_factories.h"

namespace purvex::ui {
namespace {

constexpr wchar_t kPersonalize[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

bool ReadDword(const wchar_t* key, const wchar_t* name, DWORD& value) {
    DWORD size = sizeof(value);
    return RegGetValueW(HKEY_CURRENT_USER, key, name, RRF_RT_REG_DWORD, nullptr, &value, &size) ==
           ERROR_SUCCESS;
}

}  // namespace

bool ReadSystemPrefersDark() {
    DWORD light = 1;
    return ReadDword(kPersonalize, L"AppsUseLightTheme", light) && light == 0;
}

bool ReadTransparencyEnabled() {
    DWORD enabled = 1;
    return !ReadDword(kPersonalize, L"EnableTransparency", enabled) || enabled != 0;
}

AccentShades ReadSystemAccentShades() {
    std::vector<std::uint8_t> bytes(64);
    DWORD size = static_cast<DWORD>(bytes.size());
    if (RegGetValueW(
            HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Accent",
            L"AccentPalette", RRF_RT_REG_BINARY, nullptr, bytes.data(), &size) == ERROR_SUCCESS) {
        bytes.resize(size);
        if (auto shades = ShadesFromAccentPalette(bytes)) {
            return *shades;
        }
    }
    DWORD accent = 0;
    if (ReadDword(L"Software\\Microsoft\\Windows\\DWM", L"AccentColor", accent)) {
        return ShadesFromBase(ColorFromAccentDword(accent));
    }
    DWORD colorization = 0;
    BOOL opaque = FALSE;
    if (SUCCEEDED(DwmGetColorizationColor(&colorization, &opaque))) {
        return ShadesFromBase(ColorFromColorization(colorization));
    }
    return DefaultAccentShades();
}

bool SystemHasFontFamily(const wchar_t* family) {
    IDWriteFactory* factory = DWriteFactory();
    if (factory == nullptr) {
        return false;
    }
    core::ComPtr<IDWriteFontCollection> fonts;
    if (FAILED(factory->GetSystemFontCollection(fonts.Put(), FALSE))) {
        return false;
    }
    UINT32 index = 0;
    BOOL exists = FALSE;
    return SUCCEEDED(fonts->FindFamilyName(family, &index, &exists)) && exists;
}

}  // namespace purvex::ui

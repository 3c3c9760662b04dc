// Palette roles derived from the accent and the system settings.
#include "ui/palette.h"

#include <cmath>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

#include "ui/theme.h"

namespace purvex::ui {
namespace {

void ExpectRgb(Color c, int r, int g, int b) {
    EXPECT_EQ(std::lround(c.r * 255), r);
    EXPECT_EQ(std::lround(c.g * 255), g);
    EXPECT_EQ(std::lround(c.b * 255), b);
}

TEST(PaletteTest, AccentColorDwordHasRedInItsLowByte) {
    // Bytes from low to high: D4, 78, 00, FF.
    ExpectRgb(ColorFromAccentDword(0xFF0078D4u), 212, 120, 0);
    ExpectRgb(ColorFromColorization(0xC40078D4u), 0, 120, 212);
}

TEST(PaletteTest, AccentPaletteNeedsSevenColours) {
    std::vector<std::uint8_t> bytes(28);
    for (int i = 0; i < 7; ++i) {
        bytes[i * 4] = static_cast<std::uint8_t>(i * 30);
        bytes[i * 4 + 1] = 1;
        bytes[i * 4 + 2] = 2;
    }
    const auto shades = ShadesFromAccentPalette(bytes);
    ASSERT_TRUE(shades.has_value());
    ExpectRgb(shades->light3, 0, 1, 2);
    ExpectRgb(shades->base, 90, 1, 2);
    ExpectRgb(shades->dark3, 180, 1, 2);
    bytes.resize(27);
    EXPECT_FALSE(ShadesFromAccentPalette(bytes).has_value());
}

TEST(PaletteTest, LightAccentFallsBackToDarkerShadeWhenTooBright) {
    const AccentShades amber = ShadesFromBase(Rgb(0xFFB900));
    const Palette p = BuildPalette({false, amber, false, false});
    EXPECT_EQ(p[role::kAccent], amber.dark1);
    // The default blue is readable on white and stays.
    const Palette blue = BuildPalette({false, DefaultAccentShades(), false, false});
    ExpectRgb(blue[role::kAccent], 0x00, 0x78, 0xD4);
    EXPECT_EQ(blue[role::kTextOnAccent], Rgb(0xFFFFFF));
    // Dark mode uses the second light shade.
    const Palette dark = BuildPalette({true, DefaultAccentShades(), false, false});
    ExpectRgb(dark[role::kAccent], 0x4C, 0xC2, 0xFF);
    EXPECT_EQ(dark[role::kTextOnAccent], Rgb(0x000000));
}

TEST(PaletteTest, AccentFillIsTheFirstShadeReadableOnWhite) {
    const AccentShades amber = ShadesFromBase(Rgb(0xFFB900));
    const Palette p = BuildPalette({false, amber, false, false});
    EXPECT_GE(ContrastRatio(p[role::kAccentFill], Rgb(0xFFFFFF)), 4.5);
    EXPECT_NE(p[role::kAccentFill], amber.base);
    EXPECT_NE(p[role::kAccentFill], amber.dark1);
}

TEST(PaletteTest, BackdropTintsOnlyOutsideScreenshots) {
    const Palette live = BuildPalette({true, DefaultAccentShades(), true, false});
    EXPECT_EQ(live[0].a, 0.0f);
    EXPECT_FLOAT_EQ(live[1].a, 0.45f);
    EXPECT_FLOAT_EQ(live[3].a, 0.55f);
    // Hover shades are mixed from the opaque background, not the transparent tint.
    EXPECT_EQ(live[20].a, 1.0f);
    const Palette shot = BuildPalette({true, DefaultAccentShades(), true, true});
    for (int role = 0; role <= 3; ++role) {
        EXPECT_EQ(shot[role].a, 1.0f) << role;
    }
    ExpectRgb(shot[0], 0x16, 0x1C, 0x26);
}

TEST(PaletteTest, ContrastRatioFollowsWcag) {
    EXPECT_NEAR(ContrastRatio(Rgb(0xFFFFFF), Rgb(0x000000)), 21.0, 1e-6);
    EXPECT_NEAR(ContrastRatio(Rgb(0x777777), Rgb(0xFFFFFF)), 4.48, 0.01);
}

TEST(ThemeTest, RoleOutsideThePaletteIsPrimaryText) {
    Theme& theme = Theme::Get();
    EXPECT_EQ(theme.Role(-1), theme.Role(14));
    EXPECT_EQ(theme.Role(41), theme.Role(14));
}

TEST(ThemeTest, FontFamilyFollowsTheLanguage) {
    auto none = [](const wchar_t*) { return false; };
    auto all = [](const wchar_t*) { return true; };
    auto notoOnly = [](const wchar_t* f) { return std::wstring_view(f).starts_with(L"Noto"); };
    struct Case {
        const wchar_t* code;
        const wchar_t* family;
        const wchar_t* withNotoOnly;
    };
    for (const Case& c : {Case{L"zh-CN", L"Microsoft YaHei UI", L"Noto Sans CJK SC"},
                          Case{L"zh-TW", L"Microsoft JhengHei UI", L"Noto Sans CJK TC"},
                          Case{L"ja", L"Yu Gothic UI", L"Noto Sans CJK JP"},
                          Case{L"ko", L"Malgun Gothic", L"Noto Sans CJK KR"},
                          Case{L"de", L"Segoe UI Variable Text", L"Segoe UI"},
                          Case{L"", L"Segoe UI Variable Text", L"Segoe UI"}}) {
        EXPECT_EQ(ChooseFontFamily(c.code, +all), c.family) << c.code;
        EXPECT_EQ(ChooseFontFamily(c.code, +notoOnly), c.withNotoOnly) << c.code;
        EXPECT_EQ(ChooseFontFamily(c.code, +none), L"Segoe UI") << c.code;
    }
}

}  // namespace
}  // namespace purvex::ui

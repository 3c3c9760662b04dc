#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>

#include "ui/color.h"

namespace purvex::ui {

inline constexpr int kRoleCount = 41;
using Palette = std::array<Color, kRoleCount>;

// Named colour roles that code refers to by meaning; every role is a plain number 0..40.
namespace role {
inline constexpr int kWindow = 0;
inline constexpr int kTitleBar = 1;
inline constexpr int kPageBackground = 3;
inline constexpr int kSurface = 4;
inline constexpr int kTextPrimary = 14;
inline constexpr int kTextSecondary = 15;
inline constexpr int kTextOnAccent = 18;
inline constexpr int kAccent = 19;
inline constexpr int kAccentFill = 38;
}  // namespace role

// The seven shades of the system accent colour, lightest first.
struct AccentShades {
    Color light3, light2, light1, base, dark1, dark2, dark3;
};

// The accent Windows uses when it reports none.
AccentShades DefaultAccentShades();
// Lighter shades mixed toward white by 20, 40, 60 %, darker toward black by 15, 40, 65 %.
AccentShades ShadesFromBase(Color base);
// The registry's AccentPalette: seven R, G, B, unused quadruples, lightest first. Nothing when
// fewer than 28 bytes.
std::optional<AccentShades> ShadesFromAccentPalette(std::span<const std::uint8_t> bytes);
// DWM's AccentColor DWORD holds red in its low byte.
Color ColorFromAccentDword(std::uint32_t value);
// DwmGetColorizationColor holds red in bits 16-23.
Color ColorFromColorization(std::uint32_t argb);

struct PaletteInputs {
    bool dark = false;
    AccentShades accent = DefaultAccentShades();
    bool backdropActive = false;
    bool screenshotMode = false;
};

Palette BuildPalette(const PaletteInputs& inputs);

}  // namespace purvex::ui

#include "ui/palette.h"

namespace purvex::ui {
namespace {

constexpr std::uint32_t kLight[] = {0xE9EFF6, 0xE9EFF6, 0xEEF3F9, 0xF2F6FA, 0xFFFFFF, 0xF7FAFD,
                                    0xEEF3F8, 0xFFFFFF, 0xF2F6FB, 0xE7EDF5, 0xEDF1F6, 0xDCE4EE,
                                    0x8593A6, 0xE1E8F0, 0x1E2A3A, 0x56677C, 0x8693A5, 0xA6B1BF};
constexpr std::uint32_t kDark[] = {0x161C26, 0x161C26, 0x19202B, 0x1C2430, 0x232C3A, 0x2A3445,
                                   0x202836, 0x2A3444, 0x323D4F, 0x263040, 0x222A36, 0x344055,
                                   0x8E9BB0, 0x2C3647, 0xF1F5FA, 0xB7C2D1, 0x8E9AAD, 0x66728A};
// Roles 23 to 35 (status, risk, focus and scroll bar colours).
constexpr std::uint32_t kLightStatus[] = {0xC42B1C, 0xB12619, 0x0F7B0F, 0x9D5D00, 0x0063B1,
                                          0x8A8A8A, 0x0F7B0F, 0xB36B00, 0xC42B1C, 0x56657A,
                                          0x1A1A1A, 0x8A8A8A, 0x5D5D5D};
constexpr std::uint32_t kDarkStatus[] = {0xFF99A4, 0xFFB3BB, 0x6CCB5F, 0xFCE100, 0x76B9ED,
                                         0x8C8C8C, 0x6CCB5F, 0xFFB900, 0xFF99A4, 0xA3B8D6,
                                         0xFFFFFF, 0x9D9D9D, 0xCFCFCF};

const Color kWhite = Rgb(0xFFFFFF);
const Color kBlack = Rgb(0x000000);

Color AccentFor(bool dark, const AccentShades& a) {
    if (dark) {
        return a.light2;
    }
    // The light palette puts the accent on near-white surfaces, so it has to stand out against
    // white; a bright base such as amber would otherwise pass only against black.
    return ContrastRatio(a.base, kWhite) >= 4.5 ? a.base : a.dark1;
}

Color AccentFillFor(const AccentShades& a) {
    for (const Color& c : {a.base, a.dark1, a.dark2, a.dark3}) {
        if (ContrastRatio(c, kWhite) >= 4.5) {
            return c;
        }
    }
    return a.dark3;
}

}  // namespace

AccentShades DefaultAccentShades() {
    return {Rgb(0x99EBFF), Rgb(0x4CC2FF), Rgb(0x0091F8), Rgb(0x0078D4),
            Rgb(0x0067C0), Rgb(0x003E92), Rgb(0x001A68)};
}

AccentShades ShadesFromBase(Color base) {
    return {Mix(base, kWhite, 0.6f),  Mix(base, kWhite, 0.4f), Mix(base, kWhite, 0.2f), base,
            Mix(base, kBlack, 0.15f), Mix(base, kBlack, 0.4f), Mix(base, kBlack, 0.65f)};
}

std::optional<AccentShades> ShadesFromAccentPalette(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 28) {
        return std::nullopt;
    }
    auto at = [&](int i) {
        return Rgb((std::uint32_t(bytes[i * 4]) << 16) | (std::uint32_t(bytes[i * 4 + 1]) << 8) |
                   bytes[i * 4 + 2]);
    };
    return AccentShades{at(0), at(1), at(2), at(3), at(4), at(5), at(6)};
}

Color ColorFromAccentDword(std::uint32_t value) {
    return Rgb(((value & 0xFF) << 16) | (value & 0xFF00) | ((value >> 16) & 0xFF));
}

Color ColorFromColorization(std::uint32_t argb) {
    return Rgb(argb & 0xFFFFFF);
}

Palette BuildPalette(const PaletteInputs& in) {
    Palette p{};
    const std::uint32_t* base = in.dark ? kDark : kLight;
    for (int i = 0; i <= 17; ++i) {
        p[i] = Rgb(base[i]);
    }
    const std::uint32_t* status = in.dark ? kDarkStatus : kLightStatus;
    for (int i = 23; i <= 35; ++i) {
        p[i] = Rgb(status[i - 23]);
    }
    p[36] = WithAlpha(kBlack, in.dark ? 0.5f : 0.3f);
    p[37] = in.dark ? WithAlpha(kBlack, 0.4f) : Color{0.17f, 0.29f, 0.48f, 0.13f};

    // Derived from the opaque backgrounds, so that a translucent backdrop tint below does not
    // turn hover and tint colours translucent too.
    p[19] = AccentFor(in.dark, in.accent);
    p[20] = Mix(p[19], p[0], 0.12f);
    p[21] = Mix(p[19], p[0], 0.24f);
    p[22] = Mix(p[3], p[19], in.dark ? 0.22f : 0.13f);
    p[18] = ReadableOn(p[19], kBlack);
    p[38] = AccentFillFor(in.accent);
    p[39] = in.dark ? Mix(p[38], kWhite, 0.10f) : Mix(p[38], kBlack, 0.08f);
    p[40] = in.dark ? Mix(p[38], kBlack, 0.15f) : Mix(p[38], kBlack, 0.18f);

    if (in.backdropActive && !in.screenshotMode) {
        const Color tint = in.dark ? Color{22 / 255.0f, 28 / 255.0f, 38 / 255.0f, 1}
                                   : Color{238 / 255.0f, 243 / 255.0f, 249 / 255.0f, 1};
        p[0] = WithAlpha(tint, 0.0f);
        p[1] = WithAlpha(tint, 0.45f);
        p[2] = WithAlpha(tint, 0.45f);
        p[3] = WithAlpha(tint, 0.55f);
    }
    return p;
}

}  // namespace purvex::ui

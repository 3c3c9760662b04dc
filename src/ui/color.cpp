#include "ui/color.h"

#include <algorithm>
#include <cmath>

namespace purvex::ui {
namespace {

double Linear(float channel) {
    const double c = std::clamp(static_cast<double>(channel), 0.0, 1.0);
    return c <= 0.03928 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

}  // namespace

Color Rgb(std::uint32_t rgb, float alpha) {
    return {static_cast<float>((rgb >> 16) & 0xFF) / 255.0f,
            static_cast<float>((rgb >> 8) & 0xFF) / 255.0f, static_cast<float>(rgb & 0xFF) / 255.0f,
            alpha};
}

Color WithAlpha(Color c, float alpha) {
    c.a = alpha;
    return c;
}

Color Mix(Color a, Color b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t,
            a.a + (b.a - a.a) * t};
}

double RelativeLuminance(Color c) {
    return 0.2126 * Linear(c.r) + 0.7152 * Linear(c.g) + 0.0722 * Linear(c.b);
}

double ContrastRatio(Color a, Color b) {
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

Color ReadableOn(Color background, Color dark) {
    const Color white = Rgb(0xFFFFFF);
    const double onWhite = ContrastRatio(white, background);
    return onWhite >= 4.5 || onWhite >= ContrastRatio(dark, background) ? white : dark;
}

}  // namespace purvex::ui

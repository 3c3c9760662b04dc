#pragma once

#include <cstdint>

namespace purvex::ui {

// Straight (not premultiplied) RGBA, each component 0..1.
struct Color {
    float r = 0;
    float g = 0;
    float b = 0;
    float a = 1;

    bool operator==(const Color&) const = default;
};

// 0xRRGGBB, opaque.
Color Rgb(std::uint32_t rgb, float alpha = 1.0f);
Color WithAlpha(Color c, float alpha);
// Component-wise linear mix, alpha included: t = 0 gives a, t = 1 gives b.
Color Mix(Color a, Color b, float t);
// WCAG 2 relative luminance and contrast ratio (1..21).
double RelativeLuminance(Color c);
double ContrastRatio(Color a, Color b);
// White when it reaches 4.5 against the background or does at least as well as the given dark
// colour; else that dark colour.
Color ReadableOn(Color background, Color dark);

}  // namespace purvex::ui

#include "ui/text_measure.h"

#include <cmath>
#include <string>
#include <unordered_map>

#include "core/com_ptr.h"
#include "ui/graphics_factories.h"
#include "ui/text_format_cache.h"
#include "ui/theme.h"

namespace purvex::ui {
namespace {

constexpr std::size_t kMaxEntries = 4096;

struct Fnv1a {
    std::size_t operator()(const std::wstring& key) const noexcept {
        std::uint64_t hash = 14695981039346656037ull;
        for (wchar_t c : key) {
            const auto unit = static_cast<std::uint16_t>(c);
            for (std::uint8_t byte :
                 {static_cast<std::uint8_t>(unit & 0xFF), static_cast<std::uint8_t>(unit >> 8)}) {
                hash = (hash ^ byte) * 1099511628211ull;
            }
        }
        return static_cast<std::size_t>(hash);
    }
};

struct MeasureCache {
    std::unordered_map<std::wstring, Size, Fnv1a> entries;
    TextMeasureStats stats;
};

MeasureCache& Cache() {
    static MeasureCache cache;
    return cache;
}

}  // namespace

Size MeasureText(std::wstring_view text, const TextStyle& style, float maxWidth) {
    if (text.empty()) {
        return {};
    }
    if (!(maxWidth < kUnbounded)) {
        maxWidth = kUnbounded;
    }
    maxWidth = std::max(0.0f, maxWidth);
    const Theme& theme = Theme::Get();
    std::wstring key;
    key.reserve(text.size() + theme.FontFamily().size() + 24);
    key.append(text);
    key += L'\x1F';
    key += static_cast<wchar_t>(L'A' + style.size);
    key += style.wrap ? L'W' : L'S';
    key += std::to_wstring(static_cast<long long>(std::min(maxWidth, 1e18f)));
    key += L'\x1F';
    key += theme.FontFamily();
    key += L'\x1F';
    key += theme.LanguageCode();

    MeasureCache& cache = Cache();
    if (auto it = cache.entries.find(key); it != cache.entries.end()) {
        ++cache.stats.hits;
        return it->second;
    }
    ++cache.stats.misses;
    Size size;
    IDWriteFactory* factory = DWriteFactory();
    // Alignment and trimming do not change the measured size; measuring with the leading,
    // top-aligned format of the same size keeps one layout per text.
    TextStyle measureStyle{style.size, 0, 0, style.wrap, false};
    IDWriteTextFormat* format = TextFormatFor(measureStyle);
    core::ComPtr<IDWriteTextLayout> layout;
    DWRITE_TEXT_METRICS metrics{};
    if (factory != nullptr && format != nullptr &&
        SUCCEEDED(factory->CreateTextLayout(text.data(), static_cast<UINT32>(text.size()), format,
                                            maxWidth, kUnbounded, layout.Put())) &&
        SUCCEEDED(layout->GetMetrics(&metrics))) {
        const float width = style.wrap ? std::min(maxWidth, metrics.width)
                                       : metrics.widthIncludingTrailingWhitespace;
        size = {std::ceil(width), std::ceil(metrics.height)};
    }
    if (cache.entries.size() >= kMaxEntries) {
        cache.entries.clear();
    }
    cache.entries.emplace(std::move(key), size);
    return size;
}

TextMeasureStats GetTextMeasureStats() {
    TextMeasureStats stats = Cache().stats;
    stats.entries = Cache().entries.size();
    return stats;
}

}  // namespace purvex::ui

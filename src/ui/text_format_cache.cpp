#include "ui/text_format_cache.h"

#include <algorithm>
#include <map>
#include <string>
#include <tuple>

#include "core/com_ptr.h"
#include "ui/graphics_factories.h"
#include "ui/theme.h"

namespace purvex::ui {

float FontSizeOf(std::uint8_t sizeClass) {
    constexpr float kSizes[] = {12, 14, 14, 16, 20, 28};
    return kSizes[std::min<std::uint8_t>(sizeClass, 5)];
}

int FontWeightOf(std::uint8_t sizeClass) {
    return sizeClass >= kBodyStrong ? 600 : 400;
}

IDWriteTextFormat* TextFormatFor(const TextStyle& style) {
    using Key = std::tuple<std::uint8_t, std::uint8_t, std::uint8_t, bool, bool, std::wstring,
                           std::wstring>;
    static std::map<Key, core::ComPtr<IDWriteTextFormat>> cache;
    const Theme& theme = Theme::Get();
    Key key{style.size,     style.hAlign,       style.vAlign,        style.wrap,
            style.ellipsis, theme.FontFamily(), theme.LanguageCode()};
    if (auto it = cache.find(key); it != cache.end()) {
        return it->second.Get();
    }
    IDWriteFactory* factory = DWriteFactory();
    if (factory == nullptr) {
        return nullptr;
    }
    const std::wstring locale = theme.LanguageCode().empty() ? L"en-us" : theme.LanguageCode();
    core::ComPtr<IDWriteTextFormat> format;
    if (FAILED(factory->CreateTextFormat(theme.FontFamily().c_str(), nullptr,
                                         static_cast<DWRITE_FONT_WEIGHT>(FontWeightOf(style.size)),
                                         DWRITE_FONT_STYLE_NORMAL, DWRITE_FONT_STRETCH_NORMAL,
                                         FontSizeOf(style.size), locale.c_str(), format.Put()))) {
        return nullptr;
    }
    constexpr DWRITE_TEXT_ALIGNMENT kH[] = {DWRITE_TEXT_ALIGNMENT_LEADING,
                                            DWRITE_TEXT_ALIGNMENT_CENTER,
                                            DWRITE_TEXT_ALIGNMENT_TRAILING};
    constexpr DWRITE_PARAGRAPH_ALIGNMENT kV[] = {DWRITE_PARAGRAPH_ALIGNMENT_NEAR,
                                                 DWRITE_PARAGRAPH_ALIGNMENT_CENTER,
                                                 DWRITE_PARAGRAPH_ALIGNMENT_FAR};
    format->SetTextAlignment(kH[std::min<std::uint8_t>(style.hAlign, 2)]);
    format->SetParagraphAlignment(kV[std::min<std::uint8_t>(style.vAlign, 2)]);
    format->SetWordWrapping(style.wrap ? DWRITE_WORD_WRAPPING_WRAP : DWRITE_WORD_WRAPPING_NO_WRAP);
    if (style.ellipsis) {
        core::ComPtr<IDWriteInlineObject> sign;
        if (SUCCEEDED(factory->CreateEllipsisTrimmingSign(format.Get(), sign.Put()))) {
            const DWRITE_TRIMMING trimming{DWRITE_TRIMMING_GRANULARITY_CHARACTER, 0, 0};
            format->SetTrimming(&trimming, sign.Get());
        }
    }
    IDWriteTextFormat* raw = format.Get();
    cache.emplace(std::move(key), std::move(format));
    return raw;
}

}  // namespace purvex::ui

#pragma once

#include <cstdint>

#include "ui/text_pair.h"
#include "ui/text_style.h"
#include "ui/widget.h"

namespace purvex::ui {

// Text in one style and colour role. One-line styles measure unbounded; wrapping styles fill
// the width they get.
class Label : public Widget {
public:
    Label(TextPair text, std::uint8_t sizeClass = kBody, std::uint8_t colorRole = 14);

    void SetText(TextPair value);
    [[nodiscard]] const TextPair& Text() const noexcept { return text_; }

    Size Measure(float availableWidth) override;
    void Paint(RenderContext& context) override;
    std::wstring Tooltip() const override;

    TextStyle style;
    std::uint8_t role;

private:
    TextPair text_;
};

}  // namespace purvex::ui

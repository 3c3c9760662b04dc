#pragma once

#include <cstdint>
#include <functional>

#include "ui/button_base.h"
#include "ui/icons.h"

namespace purvex::ui {

enum class ButtonVariant : std::uint8_t { Accent = 0, Standard = 1, Subtle = 2, Danger = 3 };

// A push button with a label, an optional leading icon, or an icon alone.
class Button : public ButtonBase {
public:
    Button(TextPair text, ButtonVariant variant = ButtonVariant::Standard,
           IconId icon = IconId::None);

    void SetText(TextPair value);
    [[nodiscard]] const TextPair& Text() const noexcept { return label_; }

    Size Measure(float availableWidth) override;
    void Paint(RenderContext& context) override;
    void OnClick() override;

    std::function<void()> onClick;
    ButtonVariant variant;
    IconId icon;
    float minWidth = 0;
    bool large = false;

private:
    TextPair label_;
};

}  // namespace purvex::ui

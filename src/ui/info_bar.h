#pragma once

#include <cstdint>
#include <functional>

#include "ui/text_pair.h"
#include "ui/widget.h"

namespace purvex::ui {

class Button;
class IconButton;

enum class InfoBarKind : std::uint8_t { Information = 0, Success = 1, Warning = 2, Error = 3 };

// A tinted message strip with an icon, a title, a message, and an optional action and close
// button on the right.
class InfoBar : public Widget {
public:
    InfoBar(InfoBarKind kind, TextPair title, TextPair message);

    void SetTitle(TextPair value);
    void SetMessage(TextPair value);
    Button& SetAction(TextPair text, std::function<void()> onAction);
    void SetClosable();
    // The width the texts get in a bar of the given width.
    [[nodiscard]] float TextWidth(float barWidth) const;

    Size Measure(float availableWidth) override;
    void Arrange() override;
    void Paint(RenderContext& context) override;

    std::function<void()> onClose;
    InfoBarKind kind;
    Button* actionButton = nullptr;
    IconButton* closeButton = nullptr;

private:
    TextPair title_;
    TextPair message_;
};

}  // namespace purvex::ui

#include "ui/info_bar.h"

#include <algorithm>

#include "ui/button.h"
#include "ui/icon_button.h"
#include "ui/render_context.h"
#include "ui/text_measure.h"
#include "ui/theme.h"

namespace purvex::ui {
namespace {

constexpr TextStyle kTitleStyle{kBodyStrong, 0, 0, true, true};
constexpr TextStyle kMessageStyle{kBody, 0, 0, true, true};

int AccentRole(InfoBarKind kind) {
    constexpr int kRoles[] = {27, 25, 26, 23};
    return kRoles[std::min<int>(static_cast<int>(kind), 3)];
}

IconId KindIcon(InfoBarKind kind) {
    constexpr IconId kIcons[] = {IconId::Information, IconId::SuccessCheck, IconId::Warning,
                                 IconId::Dismiss};
    return kIcons[std::min<int>(static_cast<int>(kind), 3)];
}

}  // namespace

InfoBar::InfoBar(InfoBarKind k, TextPair title, TextPair message)
    : kind(k), title_(std::move(title)), message_(std::move(message)) {}

void InfoBar::SetTitle(TextPair value) {
    title_ = std::move(value);
    RequestLayout();
}

void InfoBar::SetMessage(TextPair value) {
    message_ = std::move(value);
    RequestLayout();
}

Button& InfoBar::SetAction(TextPair text, std::function<void()> onAction) {
    if (actionButton == nullptr) {
        actionButton = &Add<Button>(std::move(text), ButtonVariant::Standard);
    } else {
        actionButton->SetText(std::move(text));
    }
    actionButton->onClick = std::move(onAction);
    RequestLayout();
    return *actionButton;
}

void InfoBar::SetClosable() {
    if (closeButton != nullptr) {
        return;
    }
    closeButton = &Add<IconButton>(IconId::Close, Key("common.close"), 32.0f);
    closeButton->onClick = [this] {
        SetVisible(false);
        if (onClose) {
            onClose();
        }
    };
    RequestLayout();
}

float InfoBar::TextWidth(float barWidth) const {
    const float w = barWidth < kUnbounded ? barWidth : 600;
    const float b = actionButton != nullptr ? actionButton->Measure(kUnbounded).width + 12 : 0;
    return std::max(40.0f, w - 24 - 20 - 12 - (closeButton != nullptr ? b + 36 : b));
}

Size InfoBar::Measure(float availableWidth) {
    const float t = TextWidth(availableWidth);
    const std::wstring title = ShownText(title_);
    const std::wstring message = ShownText(message_);
    const float titleHeight = title.empty() ? 0 : MeasureText(title, kTitleStyle, t).height;
    const float messageHeight = message.empty() ? 0 : MeasureText(message, kMessageStyle, t).height;
    const float gap = !title.empty() && !message.empty() ? 2 : 0;
    return {availableWidth < kUnbounded ? availableWidth : 600,
            std::max(48.0f, titleHeight + gap + messageHeight + 24)};
}

void InfoBar::Arrange() {
    float right = bounds.Right() - 8;
    const float top = bounds.y + 8;
    if (closeButton != nullptr) {
        closeButton->bounds = {right - 32, top, 32, 32};
        closeButton->Arrange();
        right -= 36;
    }
    if (actionButton != nullptr) {
        const float width = actionButton->Measure(kUnbounded).width;
        actionButton->bounds = {right - width, top, width, 32};
        actionButton->Arrange();
    }
}

void InfoBar::Paint(RenderContext& context) {
    const bool dark = Theme::Get().IsDark();
    const Color c = RoleColor(AccentRole(kind));
    context.FillRect(bounds, Mix(RoleColor(4), c, dark ? 0.16f : 0.10f), 8);
    context.StrokeRect(bounds, Mix(RoleColor(11), c, 0.35f), 1, 8);
    context.DrawIcon(KindIcon(kind), {bounds.x + 12, bounds.y + 14, 20, 20}, c);
    const float t = TextWidth(bounds.width);
    const std::wstring title = ShownText(title_);
    const std::wstring message = ShownText(message_);
    const float titleHeight = title.empty() ? 0 : MeasureText(title, kTitleStyle, t).height;
    const float messageHeight = message.empty() ? 0 : MeasureText(message, kMessageStyle, t).height;
    const float block = titleHeight + messageHeight;
    float y = block <= 48 ? bounds.y + (48 - block) / 2 : bounds.y + 12;
    if (!title.empty()) {
        context.DrawText(title, {bounds.x + 44, y, t, titleHeight}, kTitleStyle, RoleColor(14));
        y += titleHeight + 2;
    }
    if (!message.empty()) {
        context.DrawText(message, {bounds.x + 44, y, t, messageHeight}, kMessageStyle,
                         RoleColor(15));
    }
}

}  // namespace purvex::ui

#include "ui/badge.h"

#include <algorithm>
#include <cmath>

#include "ui/render_context.h"
#include "ui/text_measure.h"
#include "ui/theme.h"

namespace purvex::ui {
namespace {
constexpr TextStyle kStyle{kCaption, 0, 1, false, true};
}  // namespace

std::wstring BadgeText(core::Risk risk, const TextPair& text) {
    if (!text.Empty()) {
        return ShownText(text);
    }
    constexpr const char* kKeys[] = {"ui.risk.none", "ui.risk.low", "ui.risk.medium",
                                     "ui.risk.high", "ui.risk.locked"};
    return Translate(kKeys[std::min<int>(static_cast<int>(risk), 4)]);
}

void PaintBadge(RenderContext& context, const Rect& rect, core::Risk risk,
                const std::wstring& text) {
    const float textWidth = MeasureText(text, kStyle, kUnbounded).width;
    const Rect pill{std::round(rect.x), std::round(rect.y + (rect.height - 22) / 2),
                    std::min(rect.width, textWidth + 32), 22};
    const Color c = RoleColor(28 + std::min<int>(static_cast<int>(risk), 4));
    context.FillRect(pill, WithAlpha(c, Theme::Get().IsDark() ? 0.22f : 0.13f), 11);
    context.FillEllipse({pill.x + 12, pill.y + 11}, 4, 4, c);
    context.DrawText(text, {pill.x + 22, pill.y, std::max(0.0f, pill.width - 30), 22}, kStyle,
                     RoleColor(14));
}

Size Badge::Measure(float) {
    return {MeasureText(BadgeText(kind, text), kStyle, kUnbounded).width + 32, 22};
}

void Badge::Paint(RenderContext& context) {
    PaintBadge(context, bounds, kind, BadgeText(kind, text));
}

}  // namespace purvex::ui

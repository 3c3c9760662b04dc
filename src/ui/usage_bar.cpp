#include "ui/usage_bar.h"

#include <algorithm>

#include "app/format_text.h"
#include "app/value_format.h"
#include "ui/render_context.h"
#include "ui/text_measure.h"
#include "ui/text_pair.h"
#include "ui/theme.h"

namespace purvex::ui {
namespace {

constexpr TextStyle kLegendStyle{kCaption, 0, 1, false, true};
constexpr TextStyle kLegendRightStyle{kCaption, 2, 1, false, true};

std::wstring UsedText(std::uint64_t used, std::uint64_t total) {
    return app::FormatText(Translate("ui.usage.used"),
                           {app::FormatSize(used), app::FormatSize(total)});
}

}  // namespace

UsageSpans ComputeUsageSpans(std::uint64_t total, std::uint64_t used, std::uint64_t reclaimable,
                             float width) {
    if (total == 0) {
        return {};
    }
    // Values past the total are drawn as a full bar rather than spilling out of it.
    const double t = static_cast<double>(total);
    const double u = std::min(static_cast<double>(used), t) / t * width;
    const double q =
        std::min(static_cast<double>(reclaimable), static_cast<double>(used)) / t * width;
    return {static_cast<float>(u), static_cast<float>(std::min(q, u))};
}

void UsageBar::SetUsage(std::uint64_t total, std::uint64_t used, std::uint64_t reclaimable) {
    totalBytes = total;
    usedBytes = used;
    reclaimableBytes = reclaimable;
    Invalidate();
}

Size UsageBar::Measure(float availableWidth) {
    const float width = availableWidth < kUnbounded ? availableWidth : 320;
    if (!showLegend) {
        return {width, 12};
    }
    return {width, 12 + 6 + MeasureText(L"Ag", kLegendStyle, kUnbounded).height};
}

void UsageBar::Paint(RenderContext& context) {
    const Rect bar{bounds.x, bounds.y, bounds.width, 12};
    context.FillRect(bar, RoleColor(9), 6);
    context.StrokeRect(bar, RoleColor(11), 1, 6);
    const UsageSpans spans = ComputeUsageSpans(totalBytes, usedBytes, reclaimableBytes, bar.width);
    if (spans.used > 0) {
        context.PushClip({bar.x, bar.y, spans.used, 12});
        context.FillRect(bar, RoleColor(19), 6);
        if (spans.reclaimable > 0) {
            const float x = bar.x + spans.used - spans.reclaimable;
            context.FillRect({x, bar.y, spans.reclaimable, 12}, RoleColor(30));
            context.DrawLine({x, bar.y}, {x, bar.y + 12}, RoleColor(4), 1);
        }
        context.PopClip();
    }
    if (!showLegend) {
        return;
    }
    const Rect band{bounds.x, bounds.y + 18, bounds.width, std::max(0.0f, bounds.height - 18)};
    const float mid = band.y + band.height / 2;
    context.FillRect({band.x, mid - 4, 8, 8}, RoleColor(19), 2);
    context.DrawText(UsedText(usedBytes, totalBytes),
                     {band.x + 14, band.y, std::max(0.0f, band.width / 2 - 14), band.height},
                     kLegendStyle, RoleColor(15));
    const std::wstring freeText =
        app::FormatText(Translate("ui.usage.free"),
                        {app::FormatSize(totalBytes > usedBytes ? totalBytes - usedBytes : 0)});
    const Rect right{band.x + band.width / 2, band.y, band.width / 2, band.height};
    context.DrawText(freeText, right, kLegendRightStyle, RoleColor(15));
    if (reclaimableBytes > 0) {
        const std::wstring reclaimText =
            app::FormatText(Translate("ui.usage.reclaimable"), {app::FormatSize(reclaimableBytes)});
        const float freeWidth = MeasureText(freeText, kLegendStyle, kUnbounded).width;
        const float reclaimWidth = MeasureText(reclaimText, kLegendStyle, kUnbounded).width;
        const float textRight = right.Right() - freeWidth - 16;
        const float textLeft = std::max(right.x + 14, textRight - reclaimWidth);
        context.DrawText(reclaimText,
                         {textLeft, band.y, std::max(0.0f, textRight - textLeft), band.height},
                         kLegendRightStyle, RoleColor(15));
        context.FillRect({textLeft - 6 - 8, mid - 4, 8, 8}, RoleColor(30), 2);
    }
}

std::wstring UsageBar::Tooltip() const {
    if (showLegend || totalBytes == 0) {
        return {};
    }
    return UsedText(usedBytes, totalBytes);
}

}  // namespace purvex::ui

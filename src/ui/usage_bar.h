#pragma once

#include <cstdint>

#include "ui/widget.h"

namespace purvex::ui {

// Disk usage: the used part in the accent colour with its reclaimable tail, and an optional
// legend of used, free and reclaimable sizes.
class UsageBar : public Widget {
public:
    void SetUsage(std::uint64_t total, std::uint64_t used, std::uint64_t reclaimable);

    Size Measure(float availableWidth) override;
    void Paint(RenderContext& context) override;
    std::wstring Tooltip() const override;

    std::uint64_t totalBytes = 0;
    std::uint64_t usedBytes = 0;
    std::uint64_t reclaimableBytes = 0;
    bool showLegend = false;
};

// The used and reclaimable lengths of a bar of the given width; both 0 for an empty total.
struct UsageSpans {
    float used = 0;
    float reclaimable = 0;
};
UsageSpans ComputeUsageSpans(std::uint64_t total, std::uint64_t used, std::uint64_t reclaimable,
                             float width);

}  // namespace purvex::ui

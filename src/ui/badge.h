#pragma once

#include "core/delete_types.h"
#include "ui/geometry.h"
#include "ui/text_pair.h"
#include "ui/widget.h"

namespace purvex::ui {

// The shown text of a risk pill: the given text, or the risk's own name when it is empty.
std::wstring BadgeText(core::Risk risk, const TextPair& text);
// Draws a risk pill in the rectangle; shared with the tree list's risk cells.
void PaintBadge(RenderContext& context, const Rect& rect, core::Risk risk,
                const std::wstring& text);

// A coloured pill with a dot that names a risk level.
class Badge : public Widget {
public:
    explicit Badge(core::Risk r, TextPair t = {}) : kind(r), text(std::move(t)) {}

    Size Measure(float availableWidth) override;
    void Paint(RenderContext& context) override;

    core::Risk kind;
    TextPair text;
};

}  // namespace purvex::ui

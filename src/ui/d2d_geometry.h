#pragma once

#include <d2d1.h>

#include <span>

#include "core/com_ptr.h"
#include "ui/icons.h"
#include "ui/path_data.h"

namespace purvex::ui {

// A path geometry made of the figures; null when Direct2D fails.
core::ComPtr<ID2D1PathGeometry> BuildPathGeometry(std::span<const PathFigure> figures);

// One geometry per icon part, parsed and built once for the run.
struct IconGeometry {
    float strokeWidth = 1.6f;
    std::vector<std::pair<core::ComPtr<ID2D1PathGeometry>, bool>> parts;  // geometry, filled
};
const IconGeometry& GetIconGeometry(IconId icon);

// Round caps and joins, miter limit 10; created once.
ID2D1StrokeStyle* RoundStrokeStyle();

}  // namespace purvex::ui

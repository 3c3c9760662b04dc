#include "ui/d2d_geometry.h"

#include <array>
#include <optional>

#include "ui/graphics_factories.h"

namespace purvex::ui {

core::ComPtr<ID2D1PathGeometry> BuildPathGeometry(std::span<const PathFigure> figures) {
    core::ComPtr<ID2D1PathGeometry> geometry;
    ID2D1Factory* factory = D2DFactory();
    if (factory == nullptr || FAILED(factory->CreatePathGeometry(geometry.Put()))) {
        return {};
    }
    core::ComPtr<ID2D1GeometrySink> sink;
    if (FAILED(geometry->Open(sink.Put()))) {
        return {};
    }
    for (const PathFigure& figure : figures) {
        sink->BeginFigure(D2D1::Point2F(figure.start.x, figure.start.y), D2D1_FIGURE_BEGIN_FILLED);
        for (const PathSegment& s : figure.segments) {
            if (s.cubic) {
                sink->AddBezier(D2D1::BezierSegment(D2D1::Point2F(s.c1.x, s.c1.y),
                                                    D2D1::Point2F(s.c2.x, s.c2.y),
                                                    D2D1::Point2F(s.end.x, s.end.y)));
            } else {
                sink->AddLine(D2D1::Point2F(s.end.x, s.end.y));
            }
        }
        sink->EndFigure(figure.closed ? D2D1_FIGURE_END_CLOSED : D2D1_FIGURE_END_OPEN);
    }
    if (FAILED(sink->Close())) {
        return {};
    }
    return geometry;
}

const IconGeometry& GetIconGeometry(IconId icon) {
    static std::array<std::optional<IconGeometry>, kIconCount + 1> cache;
    const auto n = static_cast<std::uint16_t>(icon);
    std::optional<IconGeometry>& slot = cache[n <= kIconCount ? n : 0];
    if (!slot) {
        const IconDefinition& definition = GetIconDefinition(icon);
        IconGeometry built{definition.strokeWidth, {}};
        for (const IconPart& part : definition.parts) {
            if (auto figures = ParsePathData(part.data)) {
                if (auto geometry = BuildPathGeometry(*figures)) {
                    built.parts.emplace_back(std::move(geometry), part.filled);
                }
            }
        }
        slot = std::move(built);
    }
    return *slot;
}

ID2D1StrokeStyle* RoundStrokeStyle() {
    static core::ComPtr<ID2D1StrokeStyle> style = [] {
        core::ComPtr<ID2D1StrokeStyle> s;
        if (ID2D1Factory* factory = D2DFactory()) {
            factory->CreateStrokeStyle(
                D2D1::StrokeStyleProperties(D2D1_CAP_STYLE_ROUND, D2D1_CAP_STYLE_ROUND,
                                            D2D1_CAP_STYLE_ROUND, D2D1_LINE_JOIN_ROUND, 10.0f),
                nullptr, 0, s.Put());
        }
        return s;
    }();
    return style.Get();
}

}  // namespace purvex::ui

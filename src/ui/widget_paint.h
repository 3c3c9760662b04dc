#pragma once

#include "ui/geometry.h"

namespace purvex::ui {

class RenderContext;
class Widget;

// Paints a visible widget and then its visible children, skipping those wholly outside the
// clip; widgets that clip their children narrow it for their subtree.
void PaintWidgetTree(Widget& widget, RenderContext& context, const Rect& clip);

}  // namespace purvex::ui

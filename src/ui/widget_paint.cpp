#include "ui/widget_paint.h"

#include "ui/render_context.h"
#include "ui/widget.h"

namespace purvex::ui {

void PaintWidgetTree(Widget& w, RenderContext& context, const Rect& clip) {
    w.Paint(context);
    Rect inner = clip;
    const bool clips = w.ClipsChildren();
    if (clips) {
        context.PushClip(w.bounds);
        inner = clip.Intersection(w.bounds);
    }
    for (auto& child : w.children) {
        if (child->visible && child->bounds.Intersects(inner)) {
            PaintWidgetTree(*child, context, inner);
        }
    }
    if (clips) {
        context.PopClip();
    }
}

}  // namespace purvex::ui

#include "ui/animated_float.h"

#include <windows.h>

#include <algorithm>

#include "ui/widget.h"
#include "ui/widget_host.h"

namespace purvex::ui {

double NowMs() {
    static const double frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER counter{};
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / frequency;
}

void AnimatedFloat::AnimateTo(Widget& widget, float target) {
    WidgetHost* host = widget.Host();
    if (host == nullptr) {
        JumpTo(target);
        return;
    }
    if (target != to || (!running && current != target)) {
        from = current;
        to = target;
        start = NowMs();
        if (duration > 0) {
            running = true;
            host->StartAnimation(&widget);
        } else {
            current = target;
            running = false;
        }
    }
    host->Invalidate();
}

bool AnimatedFloat::Tick(double nowMs) {
    if (!running) {
        return false;
    }
    const double t = (nowMs - start) / duration;
    if (t >= 1) {
        current = to;
        running = false;
        return false;
    }
    const double u = 1 - std::clamp(t, 0.0, 1.0);
    current = from + (to - from) * static_cast<float>(1 - u * u * u);
    return true;
}

void AnimatedFloat::JumpTo(float target) {
    from = to = current = target;
    running = false;
}

}  // namespace purvex::ui

#pragma once

namespace purvex::ui {

class Widget;

// The current time in milliseconds from the high-resolution performance counter.
double NowMs();

// A value that eases toward its target with an ease-out cubic, ticked by the window.
class AnimatedFloat {
public:
    AnimatedFloat(float durationMs, float initial)
        : duration(durationMs), from(initial), to(initial), current(initial) {}

    // Starts toward the target and asks the widget's host to tick the widget; a widget without
    // a host jumps to the target.
    void AnimateTo(Widget& widget, float target);
    // Advances to `now`; returns whether it still runs.
    bool Tick(double nowMs);
    void JumpTo(float target);

    float duration;
    float from;
    float to;
    float current;
    double start = 0;
    bool running = false;
};

}  // namespace purvex::ui

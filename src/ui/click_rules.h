#pragma once

#include <functional>

#include "ui/input_events.h"
#include "ui/widget.h"

namespace purvex::ui {

// The rules every clickable control follows, whatever it derives from: a left press is taken
// while the control is effectively enabled, a left release that ends inside clicks, and Enter
// or Space without Ctrl clicks. Each returns whether the event was handled.
bool TakesClickPress(const Widget& control, const MouseEvent& event);
bool ClickOnRelease(const Widget& control, const MouseEvent& event, bool inside,
                    const std::function<void()>& click);
bool ClickOnKey(const Widget& control, const KeyEvent& event, const std::function<void()>& click);

}  // namespace purvex::ui

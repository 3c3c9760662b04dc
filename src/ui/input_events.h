#pragma once

#include "ui/geometry.h"

namespace purvex::ui {

struct MouseEvent {
    Point position;  // DIPs, window coordinates
    int button = 0;  // 0 left, 1 right, 2 middle
    bool ctrl = false;
    bool shift = false;
};

struct KeyEvent {
    unsigned virtualKey = 0;
    bool ctrl = false;
    bool shift = false;
    bool alt = false;  // always false: keys with Alt go to the system
};

}  // namespace purvex::ui

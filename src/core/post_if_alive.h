#pragma once

#include <memory>
#include <type_traits>
#include <utility>

#include "core/ui_dispatcher.h"

namespace purvex::core {

// Every page owns one, created and destroyed with it; its background work holds only a weak
// pointer, so a result that arrives after the page has gone finds it expired.
using AliveToken = std::shared_ptr<int>;

inline AliveToken MakeAliveToken() {
    return std::make_shared<int>(0);
}

// Runs callback on the UI thread unless the page behind alive has gone by then. The callback
// may be move-only; it is destroyed on the UI thread either way.
template <typename F>
void PostIfAlive(std::weak_ptr<int> alive, F&& callback,
                 UiDispatcher& dispatcher = UiDispatcher::Instance()) {
    auto held = std::make_shared<std::decay_t<F>>(std::forward<F>(callback));
    dispatcher.Post([alive = std::move(alive), held = std::move(held)] {
        if (const auto token = alive.lock()) {
            (*held)();
        }
    });
}

}  // namespace purvex::core

#pragma once

#include <memory>
#include <string>

#include "ui/widget.h"

namespace purvex::ui {

// A page of the main window. Its alive token expires with it, so results that workers post
// back after the page has gone are dropped.
class Page : public Widget {
public:
    [[nodiscard]] virtual std::string Id() const = 0;
    virtual void OnShown() {}
    virtual void OnHidden() {}

    [[nodiscard]] std::weak_ptr<int> AliveToken() const { return alive_; }

private:
    std::shared_ptr<int> alive_ = std::make_shared<int>(0);
};

}  // namespace purvex::ui

#include "shell/main_window.h"

#include <windows.h>

#include <memory>

#include "app/single_instance.h"
#include "ui/render_context.h"
#include "ui/theme.h"
#include "ui/window.h"

namespace purvex::shell {
namespace {

// Fills the page area until the navigation and the pages take it over.
class ShellRoot : public ui::Widget {
public:
    void Paint(ui::RenderContext& context) override {
        context.FillRect(bounds, ui::Theme::Get().Role(ui::role::kPageBackground));
    }
};

}  // namespace

int RunMainWindow(const app::LaunchOptions& options, int showCommand) {
    ui::Window window;
    ui::WindowOptions windowOptions{L"Purvex", 1000, 660, 820, 560};
    // A screenshot run is not the single instance and must not be found as one.
    if (options.screenshot.empty()) {
        windowOptions.className = app::kMainWindowClass;
    }
    if (!window.Create(windowOptions)) {
        return 1;
    }
    window.SetRoot(std::make_unique<ShellRoot>());
    if (!options.screenshot.empty()) {
        const float scale = options.scale > 0.0f ? options.scale : 1.0f;
        return window.SaveScreenshot(options.screenshot, scale) ? 0 : 2;
    }
    ShowWindow(window.NativeHandle(), showCommand);
    UpdateWindow(window.NativeHandle());
    return ui::RunMessageLoop();
}

}  // namespace purvex::shell

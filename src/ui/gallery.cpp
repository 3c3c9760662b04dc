#include "ui/gallery.h"

#include <windows.h>

#include <memory>

#include "ui/render_context.h"
#include "ui/theme.h"
#include "ui/window.h"

namespace purvex::ui {
namespace {

class GalleryRoot : public Widget {
public:
    void Paint(RenderContext& context) override {
        context.FillRect(bounds, Theme::Get().Role(role::kPageBackground));
    }
};

}  // namespace

int RunGallery(const app::LaunchOptions& options, int showCommand) {
    Window window;
    if (!window.Create({L"Purvex controls", 1100, 760, 820, 560})) {
        return 1;
    }
    window.SetRoot(std::make_unique<GalleryRoot>());
    if (!options.screenshot.empty()) {
        const float scale = options.scale > 0.0f ? options.scale : 1.0f;
        return window.SaveScreenshot(options.screenshot, scale) ? 0 : 2;
    }
    ShowWindow(window.NativeHandle(), showCommand);
    UpdateWindow(window.NativeHandle());
    return RunMessageLoop();
}

}  // namespace purvex::ui

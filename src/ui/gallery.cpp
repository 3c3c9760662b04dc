#include "ui/gallery.h"

#include <windows.h>

#include "app/single_instance.h"
#include "ui/basic_paint.h"
#include "ui/simple_window.h"

namespace purvex::ui {
namespace {

void DrawGallery(ID2D1RenderTarget& target, D2D1_SIZE_F size) {
    target.Clear(ColorFromRgb(0xFFFFFF));
    FillRect(target, D2D1::RectF(0, 0, size.width, 56), 0x2563EB);
    DrawTextLine(target, L"Purvex controls", D2D1::RectF(24, 12, size.width - 24, 48), 22.0f,
                 0xFFFFFF, true);
}

}  // namespace

int RunGallery(const app::LaunchOptions& options, int showCommand) {
    SimpleWindow window;
    if (!window.Create(app::kMainWindowClass, L"Purvex controls", 1000.0f, 660.0f, &DrawGallery)) {
        return 1;
    }
    if (!options.screenshot.empty()) {
        const float scale = options.scale > 0.0f ? options.scale : 1.0f;
        return window.SaveScreenshot(options.screenshot, scale) ? 0 : 2;
    }
    return window.ShowAndRun(showCommand);
}

}  // namespace purvex::ui

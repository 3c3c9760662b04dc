#include "shell/main_window.h"

#include <windows.h>

#include "app/single_instance.h"
#include "ui/basic_paint.h"
#include "ui/simple_window.h"

namespace purvex::shell {
namespace {

constexpr float kSidebarWidth = 208.0f;

void DrawShell(ID2D1RenderTarget& target, D2D1_SIZE_F size) {
    target.Clear(ui::ColorFromRgb(0xF3F4F6));
    ui::FillRect(target, D2D1::RectF(0, 0, kSidebarWidth, size.height), 0xE8EAEF);
    ui::FillRect(target, D2D1::RectF(kSidebarWidth - 1, 0, kSidebarWidth, size.height), 0xD5D8DE);
    ui::FillRect(target, D2D1::RectF(20, 16, 44, 40), 0x2563EB);
    ui::DrawTextLine(target, L"Purvex", D2D1::RectF(52, 14, kSidebarWidth - 8, 40), 16.0f, 0x111827,
                     true);
    ui::FillRect(target, D2D1::RectF(kSidebarWidth + 24, 24, size.width - 24, 120), 0x2563EB);
    ui::DrawTextLine(target, L"Purvex", D2D1::RectF(kSidebarWidth + 48, 48, size.width - 48, 96),
                     28.0f, 0xFFFFFF, true);
}

}  // namespace

int RunMainWindow(const app::LaunchOptions& options, int showCommand) {
    ui::SimpleWindow window;
    if (!window.Create(app::kMainWindowClass, L"Purvex", 1000.0f, 660.0f, &DrawShell)) {
        return 1;
    }
    if (!options.screenshot.empty()) {
        const float scale = options.scale > 0.0f ? options.scale : 1.0f;
        return window.SaveScreenshot(options.screenshot, scale) ? 0 : 2;
    }
    return window.ShowAndRun(showCommand);
}

}  // namespace purvex::shell

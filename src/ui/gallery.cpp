#include "ui/gallery.h"

#include <windows.h>

#include <algorithm>
#include <memory>

#include "app/localization.h"
#include "ui/gallery_root.h"
#include "ui/text_pair.h"
#include "ui/window.h"

namespace purvex::ui {

int RunGallery(const app::LaunchOptions& options, int showCommand) {
    Window window;
    if (!window.Create({Translate("ui.gallery.title"), 1100, 760, 820, 560})) {
        return 1;
    }
    auto* root = window.SetRoot(std::make_unique<GalleryRoot>([&window](const std::wstring& code) {
        // The language listeners re-lay out the window and choose the font.
        if (app::SetLanguage(code)) {
            window.SetTitle(Translate("ui.gallery.title"));
        }
    }));
    if (!options.screenshot.empty()) {
        const float height = root->Measure(1100).height;
        window.SetClientSize(1100, std::max(760.0f, std::min(height + 40, 6000.0f)));
        const float scale = options.scale > 0.0f ? options.scale : 1.0f;
        return window.SaveScreenshot(options.screenshot, scale) ? 0 : 2;
    }
    ShowWindow(window.NativeHandle(), showCommand);
    UpdateWindow(window.NativeHandle());
    return RunMessageLoop();
}

}  // namespace purvex::ui

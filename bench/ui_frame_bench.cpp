// Lays out and renders a page of 500 controls into an offscreen Direct2D target at scale 1
// and 2, and compares each frame with an empty frame rendered the same way in the same run.
#include <windows.h>

#include <d2d1.h>
#include <wincodec.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include "core/com_ptr.h"
#include "ui/animated_float.h"
#include "ui/badge.h"
#include "ui/button.h"
#include "ui/card.h"
#include "ui/check_box.h"
#include "ui/d2d_render_context.h"
#include "ui/graphics_factories.h"
#include "ui/label.h"
#include "ui/progress_bar.h"
#include "ui/scroll_view.h"
#include "ui/stack.h"
#include "ui/text_measure.h"
#include "ui/theme.h"
#include "ui/toggle.h"
#include "ui/widget_paint.h"

namespace {

using namespace purvex;
using namespace purvex::ui;

constexpr float kPageWidth = 1000;
constexpr float kPageHeight = 660;

// 50 cards of 10 controls each: a title and nine controls of six kinds.
std::unique_ptr<Widget> BuildPage(int& controls) {
    auto view = std::make_unique<ScrollView>();
    auto& content = view->SetContent<VStack>();
    content.padding = {24, 24, 24, 24};
    content.spacing = 16;
    controls = 0;
    for (int card = 0; card < 50; ++card) {
        auto& c = content.Add<Card>();
        c.Add<Label>(Literal(L"Section " + std::to_wstring(card + 1)), kSubtitle);
        auto& row = c.Add<HStack>();
        row.wrap = true;
        row.spacing = 8;
        row.Add<Button>(Literal(L"Scan"), ButtonVariant::Accent, IconId::Search);
        row.Add<Button>(Literal(L"Open folder"), ButtonVariant::Standard, IconId::FolderOpen);
        row.Add<Button>(Literal(L"Delete"), ButtonVariant::Danger);
        row.Add<CheckBox>(Literal(L"Item " + std::to_wstring(card)), CheckState::Checked);
        row.Add<CheckBox>(Literal(L"Keep"), CheckState::Unchecked);
        row.Add<Toggle>(Literal(L"Enabled"), card % 2 == 0);
        row.Add<Badge>(static_cast<core::Risk>(card % 5));
        auto& bar = c.Add<ProgressBar>();
        bar.SetValue(static_cast<float>(card) / 50);
        c.Add<Label>(Literal(L"C:\\Users\\Demo\\AppData\\Local\\Cache\\file_" +
                             std::to_wstring(card) + L".tmp"),
                     kBody, 15);
        controls += 10;
    }
    return view;
}

struct Target {
    core::ComPtr<IWICBitmap> bitmap;
    core::ComPtr<ID2D1RenderTarget> target;
};

Target MakeTarget(float scale) {
    Target t;
    const UINT w = static_cast<UINT>(kPageWidth * scale);
    const UINT h = static_cast<UINT>(kPageHeight * scale);
    if (FAILED(WicFactory()->CreateBitmap(w, h, GUID_WICPixelFormat32bppPBGRA, WICBitmapCacheOnLoad,
                                          t.bitmap.Put()))) {
        return {};
    }
    const auto properties = D2D1::RenderTargetProperties(
        D2D1_RENDER_TARGET_TYPE_DEFAULT,
        D2D1::PixelFormat(DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_PREMULTIPLIED), 96 * scale,
        96 * scale);
    if (FAILED(D2DFactory()->CreateWicBitmapRenderTarget(t.bitmap.Get(), properties,
                                                         t.target.Put()))) {
        return {};
    }
    t.target->SetTextAntialiasMode(D2D1_TEXT_ANTIALIAS_MODE_GRAYSCALE);
    return t;
}

struct FrameTimes {
    double layout = 0;
    double paint = 0;  // issuing the drawing calls
    double flush = 0;  // EndDraw: rasterising and writing the bitmap
    [[nodiscard]] double Total() const { return layout + paint + flush; }
};

// One frame as the window draws it: a fresh layout, then clear, paint and EndDraw.
FrameTimes Frame(ID2D1RenderTarget* target, Widget* root) {
    FrameTimes times;
    double t0 = NowMs();
    const Rect page{0, 0, kPageWidth, kPageHeight};
    if (root != nullptr) {
        root->bounds = page;
        root->Arrange();
    }
    double t1 = NowMs();
    target->BeginDraw();
    target->Clear(D2D1::ColorF(0.9f, 0.93f, 0.96f, 1));
    {
        D2DRenderContext context(target);
        if (root != nullptr) {
            PaintWidgetTree(*root, context, page);
        }
    }
    double t2 = NowMs();
    target->EndDraw();
    double t3 = NowMs();
    times.layout = t1 - t0;
    times.paint = t2 - t1;
    times.flush = t3 - t2;
    return times;
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main() {
    core::ScopedCoInit com(COINIT_APARTMENTTHREADED);
    if (WicFactory() == nullptr || D2DFactory() == nullptr) {
        std::printf("Direct2D or WIC is not available (an X display is needed under Wine)\n");
        return 1;
    }
    int controls = 0;
    std::unique_ptr<Widget> page = BuildPage(controls);
    std::printf("page of %d controls, viewport %.0f x %.0f DIPs\n", controls, kPageWidth,
                kPageHeight);
    for (float scale : {1.0f, 2.0f}) {
        Target t = MakeTarget(scale);
        if (!t.target) {
            std::printf("scale %.0f: no render target\n", scale);
            return 1;
        }
        std::vector<double> empty;
        for (int i = 0; i < 10; ++i) {
            empty.push_back(Frame(t.target.Get(), nullptr).Total());
        }
        const FrameTimes first = Frame(t.target.Get(), page.get());
        const TextMeasureStats before = GetTextMeasureStats();
        const FrameTimes second = Frame(t.target.Get(), page.get());
        const TextMeasureStats after = GetTextMeasureStats();
        const auto hits = after.hits - before.hits;
        const auto lookups = hits + after.misses - before.misses;
        std::vector<double> layout;
        std::vector<double> paint;
        std::vector<double> total;
        for (int i = 0; i < 10; ++i) {
            const FrameTimes f = Frame(t.target.Get(), page.get());
            layout.push_back(f.layout);
            paint.push_back(f.paint);
            total.push_back(f.Total());
        }
        const double baseline = Median(empty);
        std::printf(
            "scale %.0f: empty frame %.2f ms (baseline)\n"
            "  first frame %.2f ms (layout %.2f, drawing calls %.2f, EndDraw %.2f)\n"
            "  second frame %.2f ms (layout %.2f, drawing calls %.2f, EndDraw %.2f)\n"
            "  median of 10 warm frames %.2f ms = %.2f x baseline; layout %.2f ms, drawing "
            "calls %.2f ms\n"
            "  text-measure cache in the second frame: %llu hits of %llu lookups (%.1f %%)\n",
            scale, baseline, first.Total(), first.layout, first.paint, first.flush, second.Total(),
            second.layout, second.paint, second.flush, Median(total),
            Median(total) / std::max(baseline, 1e-6), Median(layout), Median(paint),
            static_cast<unsigned long long>(hits), static_cast<unsigned long long>(lookups),
            lookups > 0 ? 100.0 * static_cast<double>(hits) / static_cast<double>(lookups) : 0.0);
    }
    return 0;
}

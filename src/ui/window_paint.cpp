// Layout pass, frame rendering and screenshots of the window.
#include <wincodec.h>

#include <algorithm>
#include <cmath>

#include "ui/d2d_render_context.h"
#include "ui/graphics_factories.h"
#include "ui/png_export.h"
#include "ui/text_measure.h"
#include "ui/theme.h"
#include "ui/widget_paint.h"
#include "ui/window.h"

namespace purvex::ui {
namespace {

const Color kCloseHover = Rgb(0xC42B1C);
const Color kClosePressed = Rgb(0xC83C30);

core::ComPtr<ID2D1Bitmap> LoadAppIcon(ID2D1RenderTarget* target, float dpi) {
    const int side = static_cast<int>(std::lround(16 * dpi / 96.0f));
    HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(101),
                                               IMAGE_ICON, side, side, LR_DEFAULTCOLOR));
    IWICImagingFactory* wic = WicFactory();
    core::ComPtr<ID2D1Bitmap> bitmap;
    if (icon == nullptr || wic == nullptr) {
        if (icon != nullptr) {
            DestroyIcon(icon);
        }
        return bitmap;
    }
    core::ComPtr<IWICBitmap> source;
    core::ComPtr<IWICFormatConverter> converter;
    if (SUCCEEDED(wic->CreateBitmapFromHICON(icon, source.Put())) &&
        SUCCEEDED(wic->CreateFormatConverter(converter.Put())) &&
        SUCCEEDED(converter->Initialize(source.Get(), GUID_WICPixelFormat32bppPBGRA,
                                        WICBitmapDitherTypeNone, nullptr, 0,
                                        WICBitmapPaletteTypeCustom))) {
        target->CreateBitmapFromWicBitmap(converter.Get(), nullptr, bitmap.Put());
    }
    DestroyIcon(icon);
    return bitmap;
}

}  // namespace

void Window::LayoutIfNeeded() {
    const Size client = ClientSize();
    if (layoutDirty_ || client.width != lastLayoutSize_.width ||
        client.height != lastLayoutSize_.height) {
        Layout(client);
    }
}

void Window::Layout(Size client) {
    inLayout_ = true;
    if (root_) {
        root_->bounds = {0, kTitleBarHeight, client.width,
                         std::max(0.0f, client.height - kTitleBarHeight)};
        root_->Arrange();
    }
    for (Overlay& o : overlays_) {
        Rect& b = o.widget->bounds;
        if (o.kind == OverlayKind::Dialog) {
            b = {0, 0, client.width, client.height};
        } else {
            b.width = std::min(b.width, client.width);
            b.height = std::min(b.height, client.height);
            b.x = std::clamp(b.x, 0.0f, client.width - b.width);
            b.y = std::clamp(b.y, 0.0f, client.height - b.height);
        }
        o.widget->Arrange();
    }
    inLayout_ = false;
    layoutDirty_ = false;
    lastLayoutSize_ = client;
}

void Window::Paint() {
    if (hwnd_ == nullptr) {
        return;
    }
    if (!target_) {
        RECT client{};
        GetClientRect(hwnd_, &client);
        const float dpi = Dpi();
        const D2D1_RENDER_TARGET_PROPERTIES properties = D2D1::RenderTargetProperties(
            D2D1_RENDER_TARGET_TYPE_DEFAULT,
            D2D1::PixelFormat(DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_PREMULTIPLIED), dpi, dpi);
        const D2D1_HWND_RENDER_TARGET_PROPERTIES hwndProperties = D2D1::HwndRenderTargetProperties(
            hwnd_, D2D1::SizeU(static_cast<UINT32>(std::max<LONG>(1, client.right)),
                               static_cast<UINT32>(std::max<LONG>(1, client.bottom))));
        ID2D1Factory* factory = D2DFactory();
        if (factory == nullptr ||
            FAILED(factory->CreateHwndRenderTarget(properties, hwndProperties, target_.Put()))) {
            return;
        }
        target_->SetTextAntialiasMode(D2D1_TEXT_ANTIALIAS_MODE_GRAYSCALE);
        appIcon_.Reset();
    }
    target_->BeginDraw();
    RenderFrame(target_.Get(), ClientSize(), false);
    if (target_->EndDraw() == static_cast<HRESULT>(D2DERR_RECREATE_TARGET)) {
        // The device was lost: the next paint builds everything again.
        target_.Reset();
        appIcon_.Reset();
        Invalidate();
    }
}

void Window::RenderFrame(ID2D1RenderTarget* target, Size client, bool screenshot) {
    const Theme& theme = Theme::Get();
    const Color background = theme.Role(0);
    target->Clear(D2D1::ColorF(background.r * background.a, background.g * background.a,
                               background.b * background.a, background.a));
    LayoutIfNeeded();
    {
        D2DRenderContext context(target);
        PaintTitleBar(context, target, client);
        const Rect below{0, kTitleBarHeight, client.width,
                         std::max(0.0f, client.height - kTitleBarHeight)};
        if (root_ && root_->visible) {
            context.PushClip(below);
            PaintWidgetTree(*root_, context, below);
            context.PopClip();
        }
        const Rect all{0, 0, client.width, client.height};
        for (Overlay& o : overlays_) {
            if (o.widget->visible) {
                PaintWidgetTree(*o.widget, context, all);
            }
        }
        if (!screenshot) {
            PaintTooltip(context, client);
        }
    }
}

void Window::PaintTitleBar(RenderContext& context, ID2D1RenderTarget* target, Size client) {
    const Theme& theme = Theme::Get();
    context.FillRect({0, 0, client.width, kTitleBarHeight}, theme.Role(1));
    core::ComPtr<ID2D1Bitmap> icon = target == target_.Get() ? appIcon_ : nullptr;
    if (!icon) {
        icon = LoadAppIcon(target, context.Dpi());
        if (target == target_.Get()) {
            appIcon_ = icon;
        }
    }
    if (icon) {
        target->DrawBitmap(icon.Get(), D2D1::RectF(14, 12, 30, 28));
    }
    const float buttonsLeft = client.width - 3 * kCaptionButtonWidth;
    context.DrawText(options_.title, {40, 0, std::max(0.0f, buttonsLeft - 48), kTitleBarHeight},
                     {kBody, 0, 1, false, true}, theme.Role(active_ ? 14 : 16));
    const bool maximized = hwnd_ != nullptr && IsZoomed(hwnd_);
    const IconId glyphs[3] = {IconId::Minus, maximized ? IconId::Copy : IconId::CheckBoxFrame,
                              IconId::Close};
    for (int i = 0; i < 3; ++i) {
        const int id = i + 1;
        const Rect r{buttonsLeft + static_cast<float>(i) * kCaptionButtonWidth, 0,
                     kCaptionButtonWidth, kTitleBarHeight};
        Color glyph = theme.Role(active_ ? 14 : 16);
        if (captionPressed_ == id || (captionPressed_ == 0 && captionHover_ == id)) {
            const bool down = captionPressed_ == id;
            if (id == 3) {
                context.FillRect(r, down ? kClosePressed : kCloseHover);
                glyph = Rgb(0xFFFFFF);
            } else {
                context.FillRect(r, theme.Role(down ? 9 : 8));
            }
        }
        context.DrawIcon(glyphs[i], {r.x + 15, 12, 16, 16}, glyph);
    }
}

void Window::PaintTooltip(RenderContext& context, Size client) {
    if (!tooltip_.visible || tooltip_.text.empty()) {
        return;
    }
    const Theme& theme = Theme::Get();
    const TextStyle style{kCaption, 0, 0, true, false};
    const Size text = MeasureText(tooltip_.text, style, 360);
    Rect box{tooltip_.position.x, tooltip_.position.y + 20, text.width + 16, text.height + 10};
    box.x = std::clamp(box.x, 4.0f, std::max(4.0f, client.width - box.width - 4));
    if (box.Bottom() > client.height - 4) {
        box.y = tooltip_.position.y - box.height - 4;
    }
    context.DrawShadow(box, 6, 6);
    context.FillRect(box, theme.Role(4), 6);
    context.StrokeRect(box, theme.Role(11), 1, 6);
    context.DrawText(tooltip_.text, {box.x + 8, box.y + 5, text.width, text.height}, style,
                     theme.Role(14));
}

bool Window::SaveScreenshot(const std::wstring& path, float scale) {
    const Size client = ClientSize();
    if (!(client.width > 0) || !(client.height > 0) || !(scale > 0)) {
        return false;
    }
    Theme& theme = Theme::Get();
    theme.SetScreenshotMode(true);
    layoutDirty_ = true;
    const bool ok = RenderToPng(path, client.width, client.height, scale,
                                [&](ID2D1RenderTarget& target, D2D1_SIZE_F) {
                                    target.SetTextAntialiasMode(D2D1_TEXT_ANTIALIAS_MODE_GRAYSCALE);
                                    RenderFrame(&target, client, true);
                                });
    theme.SetScreenshotMode(false);
    return ok;
}

}  // namespace purvex::ui

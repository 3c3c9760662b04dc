#include "ui/png_export.h"

#include <windows.h>

#include <wincodec.h>

#include <cmath>

#include "core/com_ptr.h"
#include "core/fs/directory.h"
#include "core/fs/path_text.h"
#include "ui/graphics_factories.h"

namespace purvex::ui {
namespace {

using core::ComPtr;

// Direct2D cannot make a bitmap larger than this on any hardware it supports.
constexpr double kMaxBitmapSide = 16384.0;

bool EncodePng(IWICBitmap* bitmap, const std::wstring& path) {
    IWICImagingFactory* wic = WicFactory();
    ComPtr<IWICStream> stream;
    if (FAILED(wic->CreateStream(stream.Put())) ||
        FAILED(stream->InitializeFromFilename(core::ToLongPath(path).c_str(), GENERIC_WRITE))) {
        return false;
    }
    ComPtr<IWICBitmapEncoder> encoder;
    if (FAILED(wic->CreateEncoder(GUID_ContainerFormatPng, nullptr, encoder.Put())) ||
        FAILED(encoder->Initialize(stream.Get(), WICBitmapEncoderNoCache))) {
        return false;
    }
    ComPtr<IWICBitmapFrameEncode> frame;
    if (FAILED(encoder->CreateNewFrame(frame.Put(), nullptr)) ||
        FAILED(frame->Initialize(nullptr))) {
        return false;
    }
    UINT width = 0;
    UINT height = 0;
    bitmap->GetSize(&width, &height);
    WICPixelFormatGUID format = GUID_WICPixelFormat32bppPBGRA;
    if (FAILED(frame->SetSize(width, height)) || FAILED(frame->SetPixelFormat(&format)) ||
        FAILED(frame->WriteSource(bitmap, nullptr)) || FAILED(frame->Commit()) ||
        FAILED(encoder->Commit())) {
        return false;
    }
    return true;
}

}  // namespace

bool RenderToPng(const std::wstring& requestedPath, float widthDip, float heightDip, float scale,
                 const DrawFunction& draw) {
    const std::wstring path = core::GetFullPath(requestedPath);
    if (path.empty() || !(scale > 0.0f) || !(widthDip > 0.0f) || !(heightDip > 0.0f)) {
        return false;
    }
    const double width = std::ceil(static_cast<double>(widthDip) * scale);
    const double height = std::ceil(static_cast<double>(heightDip) * scale);
    if (!(width <= kMaxBitmapSide) || !(height <= kMaxBitmapSide)) {
        return false;
    }
    IWICImagingFactory* wic = WicFactory();
    ID2D1Factory* d2d = D2DFactory();
    if (wic == nullptr || d2d == nullptr) {
        return false;
    }
    ComPtr<IWICBitmap> bitmap;
    if (FAILED(wic->CreateBitmap(static_cast<UINT>(width), static_cast<UINT>(height),
                                 GUID_WICPixelFormat32bppPBGRA, WICBitmapCacheOnLoad,
                                 bitmap.Put()))) {
        return false;
    }
    const D2D1_RENDER_TARGET_PROPERTIES properties = D2D1::RenderTargetProperties(
        D2D1_RENDER_TARGET_TYPE_DEFAULT,
        D2D1::PixelFormat(DXGI_FORMAT_B8G8R8A8_UNORM, D2D1_ALPHA_MODE_PREMULTIPLIED), 96.0f * scale,
        96.0f * scale);
    ComPtr<ID2D1RenderTarget> target;
    if (FAILED(d2d->CreateWicBitmapRenderTarget(bitmap.Get(), properties, target.Put()))) {
        return false;
    }
    target->BeginDraw();
    draw(*target.Get(), D2D1::SizeF(widthDip, heightDip));
    if (FAILED(target->EndDraw())) {
        return false;
    }
    if (!EncodePng(bitmap.Get(), path)) {
        DeleteFileW(core::ToLongPath(path).c_str());
        return false;
    }
    return true;
}

}  // namespace purvex::ui

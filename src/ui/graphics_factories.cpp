#include "ui/graphics_factories.h"

#include "core/com_ptr.h"

namespace purvex::ui {

ID2D1Factory* D2DFactory() {
    static core::ComPtr<ID2D1Factory> factory = [] {
        core::ComPtr<ID2D1Factory> f;
        D2D1_FACTORY_OPTIONS options{};
        D2D1CreateFactory(D2D1_FACTORY_TYPE_SINGLE_THREADED, __uuidof(ID2D1Factory), &options,
                          f.PutVoid());
        return f;
    }();
    return factory.Get();
}

IDWriteFactory* DWriteFactory() {
    static core::ComPtr<IDWriteFactory> factory = [] {
        core::ComPtr<IDWriteFactory> f;
        DWriteCreateFactory(DWRITE_FACTORY_TYPE_SHARED, __uuidof(IDWriteFactory),
                            reinterpret_cast<IUnknown**>(f.Put()));
        return f;
    }();
    return factory.Get();
}

IWICImagingFactory* WicFactory() {
    static core::ComPtr<IWICImagingFactory> factory = [] {
        core::ComPtr<IWICImagingFactory> f;
        CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                         __uuidof(IWICImagingFactory), f.PutVoid());
        return f;
    }();
    return factory.Get();
}

}  // namespace purvex::ui

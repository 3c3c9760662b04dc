#pragma once

#include <windows.h>

#include <d2d1.h>
#include <dwrite.h>
#include <wincodec.h>

namespace purvex::ui {

// Process-wide factories, created on first use on the UI thread and kept for the run.
// Each returns null when the platform cannot provide it.
ID2D1Factory* D2DFactory();
IDWriteFactory* DWriteFactory();
IWICImagingFactory* WicFactory();

}  // namespace purvex::ui

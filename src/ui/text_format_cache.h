#pragma once

#include <dwrite.h>

#include <string_view>

#include "ui/text_style.h"

namespace purvex::ui {

// The DirectWrite text format for a style in the theme's font family and the UI language,
// created once per (style, family, locale) and kept for the run. Null when DirectWrite fails.
IDWriteTextFormat* TextFormatFor(const TextStyle& style);

}  // namespace purvex::ui

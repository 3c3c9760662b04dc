// Screenshots of the control gallery, checked at pixels whose colour roles are known.
#include <windows.h>

#include <wincodec.h>

#include <cmath>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "core/com_ptr.h"
#include "support/scratch_dir.h"
#include "ui/button.h"
#include "ui/card.h"
#include "ui/check_box.h"
#include "ui/gallery_root.h"
#include "ui/theme.h"
#include "ui/toggle.h"
#include "ui/window.h"

namespace purvex::ui {
namespace {

struct Image {
    UINT width = 0;
    UINT height = 0;
    std::vector<BYTE> bgra;

    [[nodiscard]] Color Pixel(float xDip, float yDip, float scale) const {
        const auto x = static_cast<UINT>(xDip * scale);
        const auto y = static_cast<UINT>(yDip * scale);
        const BYTE* p = &bgra[(static_cast<std::size_t>(y) * width + x) * 4];
        return {p[2] / 255.0f, p[1] / 255.0f, p[0] / 255.0f, p[3] / 255.0f};
    }
};

Image ReadPng(const std::wstring& path) {
    Image image;
    core::ComPtr<IWICImagingFactory> wic;
    core::ComPtr<IWICBitmapDecoder> decoder;
    core::ComPtr<IWICBitmapFrameDecode> frame;
    core::ComPtr<IWICFormatConverter> converter;
    if (FAILED(CoCreateInstance(CLSID_WICImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                __uuidof(IWICImagingFactory), wic.PutVoid())) ||
        FAILED(wic->CreateDecoderFromFilename(path.c_str(), nullptr, GENERIC_READ,
                                              WICDecodeMetadataCacheOnLoad, decoder.Put())) ||
        FAILED(decoder->GetFrame(0, frame.Put())) ||
        FAILED(wic->CreateFormatConverter(converter.Put())) ||
        FAILED(converter->Initialize(frame.Get(), GUID_WICPixelFormat32bppBGRA,
                                     WICBitmapDitherTypeNone, nullptr, 0,
                                     WICBitmapPaletteTypeCustom))) {
        return image;
    }
    converter->GetSize(&image.width, &image.height);
    image.bgra.resize(static_cast<std::size_t>(image.width) * image.height * 4);
    if (FAILED(converter->CopyPixels(nullptr, image.width * 4, static_cast<UINT>(image.bgra.size()),
                                     image.bgra.data()))) {
        image = {};
    }
    return image;
}

template <typename T>
T* Find(Widget& w, bool (*match)(const T&)) {
    if (auto* t = dynamic_cast<T*>(&w); t != nullptr && match(*t)) {
        return t;
    }
    for (auto& child : w.children) {
        if (T* found = Find(*child, match)) {
            return found;
        }
    }
    return nullptr;
}

void ExpectColor(Color actual, Color expected, const char* what) {
    const float tolerance = 3.0f / 255.0f;
    EXPECT_NEAR(actual.r, expected.r, tolerance) << what;
    EXPECT_NEAR(actual.g, expected.g, tolerance) << what;
    EXPECT_NEAR(actual.b, expected.b, tolerance) << what;
    EXPECT_EQ(actual.a, 1.0f) << what;
}

struct ShotCase {
    ThemeMode mode;
    float scale;
};

class GalleryScreenshotTest : public ::testing::TestWithParam<ShotCase> {
protected:
    void TearDown() override {
        Theme::Get().SetScreenshotMode(false);
        Theme::Get().SetMode(ThemeMode::System);
    }
    core::ScopedCoInit com{COINIT_APARTMENTTHREADED};
};

TEST_P(GalleryScreenshotTest, RolesAppearWhereTheControlsAre) {
    const ShotCase c = GetParam();
    Theme::Get().SetMode(c.mode);
    Window window;
    ASSERT_TRUE(window.Create({L"gallery", 1100, 760, 820, 560}));
    Widget* root = window.SetRoot(std::make_unique<GalleryRoot>(nullptr));
    test::ScratchDir scratch;
    const std::wstring path = scratch.Sub(L"shot.png");
    ASSERT_TRUE(window.SaveScreenshot(path, c.scale));
    const Image image = ReadPng(path);
    ASSERT_EQ(image.width, static_cast<UINT>(1100 * c.scale));
    ASSERT_EQ(image.height, static_cast<UINT>(760 * c.scale));

    // The screenshot used the opaque palette, whatever the live window's backdrop does.
    Theme& theme = Theme::Get();
    theme.SetScreenshotMode(true);
    EXPECT_EQ(theme.IsDark(), c.mode == ThemeMode::Dark);
    // The background is opaque even where a live window would show the backdrop.
    ExpectColor(image.Pixel(4, 45, c.scale), theme.Role(0), "window background");
    ExpectColor(image.Pixel(4, 4, c.scale), theme.Role(1), "title bar");
    if (c.mode == ThemeMode::Dark) {
        EXPECT_LT(RelativeLuminance(image.Pixel(4, 45, c.scale)), 0.05);
    } else {
        EXPECT_GT(RelativeLuminance(image.Pixel(4, 45, c.scale)), 0.8);
    }

    auto* primary = Find<Button>(
        *root, +[](const Button& b) {
            return b.variant == ButtonVariant::Accent && b.enabled && b.icon == IconId::None;
        });
    auto* danger = Find<Button>(
        *root, +[](const Button& b) { return b.variant == ButtonVariant::Danger && b.enabled; });
    auto* disabled = Find<Button>(
        *root, +[](const Button& b) { return !b.enabled; });
    auto* checked = Find<CheckBox>(
        *root, +[](const CheckBox& b) { return b.state == CheckState::Checked && b.enabled; });
    auto* on = Find<Toggle>(
        *root, +[](const Toggle& t) { return t.on; });
    auto* card = Find<Card>(
        *root, +[](const Card& k) { return !k.selected; });
    ASSERT_TRUE(primary && danger && disabled && checked && on && card);

    auto leftMiddle = [&](const Widget& w, float inset) {
        return image.Pixel(w.bounds.x + inset, w.bounds.y + w.bounds.height / 2, c.scale);
    };
    ExpectColor(leftMiddle(*primary, 3), theme.Role(38), "primary button fill");
    ExpectColor(leftMiddle(*danger, 3), theme.Role(23), "danger button fill");
    ExpectColor(leftMiddle(*disabled, 3), theme.Role(10), "disabled button fill");
    ExpectColor(image.Pixel(checked->bounds.x + 3, checked->bounds.y + 16, c.scale), theme.Role(38),
                "checked box fill");
    ExpectColor(leftMiddle(*on, 4), theme.Role(38), "toggle track when on");
    ExpectColor(image.Pixel(card->bounds.x + 6, card->bounds.y + 40, c.scale), theme.Role(4),
                "card surface");
    theme.SetScreenshotMode(false);
}

INSTANTIATE_TEST_SUITE_P(
    LightDarkScales, GalleryScreenshotTest,
    ::testing::Values(ShotCase{ThemeMode::Light, 1}, ShotCase{ThemeMode::Dark, 1},
                      ShotCase{ThemeMode::Light, 2}, ShotCase{ThemeMode::Dark, 2}),
    [](const ::testing::TestParamInfo<ShotCase>& shot) {
        return std::string(shot.param.mode == ThemeMode::Dark ? "Dark" : "Light") + "AtScale" +
               std::to_string(static_cast<int>(shot.param.scale));
    });

}  // namespace
}  // namespace purvex::ui

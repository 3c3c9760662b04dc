#include "modules/bigfiles/scan_types.h"

#include <gtest/gtest.h>

#include "app/settings.h"
#include "core/text.h"

namespace purvex::bigfiles {
namespace {

TEST(NormalizeScanRootTest, DriveRootsKeepTheirBackslashOthersLoseIt) {
    const struct {
        const wchar_t* in;
        const wchar_t* out;
    } cases[] = {
        {L"C:", L"C:\\"},
        {L"C:\\", L"C:\\"},
        {L"C:/", L"C:\\"},
        {L"C:\\Data\\", L"C:\\Data"},
        {L"C:/Data//Sub/", L"C:\\Data\\Sub"},
        {L"\\\\?\\C:\\Data\\", L"C:\\Data"},
        {L"", L""},
        {L"relative\\folder", L""},
        {L"C:\\bad|name", L""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(core::WideToUtf8(c.in));
        EXPECT_EQ(NormalizeScanRoot(c.in), c.out);
    }
}

TEST(DefaultScanOptionsTest, PageDefaultsWithTheWalkSettingOfTheMoment) {
    const app::SettingsData saved = app::GetSettings();
    for (const bool force : {true, false}) {
        app::SettingsData changed = saved;
        changed.deepScanForceWalk = force;
        app::SetSettings(changed);
        const ScanOptions options = DefaultScanOptions();
        EXPECT_EQ(options.forceWalk, force);
        EXPECT_EQ(options.root, L"C:\\");
        EXPECT_EQ(options.minSize, 500ull * 1048576);
        EXPECT_EQ(options.topCount, 500u);
    }
    app::SetSettings(saved);
}

}  // namespace
}  // namespace purvex::bigfiles

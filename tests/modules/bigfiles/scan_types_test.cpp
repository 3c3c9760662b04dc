#include "modules/bigfiles/scan_types.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace purvex::bigfiles

// Runs the real program as a child process: single instance and screenshot mode.
#include <windows.h>

#include <cstdint>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

#include "core/fs/path_text.h"
#include "core/unique_handle.h"
#include "support/child_process.h"
#include "support/scratch_dir.h"

namespace purvex {
namespace {

struct PngSize {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
};

// Reads the size from the IHDR chunk; zero when the file is not a PNG.
PngSize ReadPngSize(const std::wstring& path) {
    core::UniqueFile file(CreateFileW(core::ToLongPath(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) {
        return {};
    }
    unsigned char header[24] = {};
    DWORD read = 0;
    ReadFile(file.Get(), header, sizeof(header), &read, nullptr);
    const unsigned char signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (read != sizeof(header) || memcmp(header, signature, 8) != 0) {
        return {};
    }
    auto be32 = [&](int at) {
        return (std::uint32_t(header[at]) << 24) | (std::uint32_t(header[at + 1]) << 16) |
               (std::uint32_t(header[at + 2]) << 8) | std::uint32_t(header[at + 3]);
    };
    return {be32(16), be32(20)};
}

std::wstring Command(const std::wstring& arguments) {
    return test::QuoteArgument(test::PurvexExe()) + L" " + arguments;
}

TEST(LaunchTest, ScreenshotAtScaleTwoHasTwiceTheClientSize) {
    test::ScratchDir scratch;
    const std::wstring one = scratch.Sub(L"one.png");
    const std::wstring two = scratch.Sub(L"two.png");
    ASSERT_EQ(test::RunToExit(Command(L"--screenshot " + test::QuoteArgument(one))), 0u);
    ASSERT_EQ(test::RunToExit(Command(L"--screenshot " + test::QuoteArgument(two) + L" --scale 2")),
              0u);
    const PngSize a = ReadPngSize(one);
    const PngSize b = ReadPngSize(two);
    EXPECT_EQ(a.width, 1000u);
    EXPECT_EQ(a.height, 660u);
    EXPECT_EQ(b.width, 2 * a.width);
    EXPECT_EQ(b.height, 2 * a.height);
}

TEST(LaunchTest, GalleryScreenshotWorksToo) {
    test::ScratchDir scratch;
    const std::wstring png = scratch.Sub(L"gallery.png");
    ASSERT_EQ(test::RunToExit(Command(L"--gallery --screenshot " + test::QuoteArgument(png))), 0u);
    EXPECT_GT(ReadPngSize(png).width, 0u);
}

TEST(LaunchTest, UnwritableScreenshotExitsWithTwo) {
    test::ScratchDir scratch;
    const std::wstring png = scratch.Sub(L"missing-folder\\shot.png");
    EXPECT_EQ(test::RunToExit(Command(L"--screenshot " + test::QuoteArgument(png))), 2u);
    const std::wstring folder = scratch.MakeDir(L"a-folder.png");
    EXPECT_EQ(test::RunToExit(Command(L"--screenshot " + test::QuoteArgument(folder))), 2u);
}

HWND WaitForMainWindow(DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (GetTickCount64() < end) {
        if (HWND w = FindWindowW(L"Purvex.MainWindow", nullptr)) {
            return w;
        }
        Sleep(50);
    }
    return nullptr;
}

// Showing a window of another process can complete after the caller has gone on, and a busy
// machine makes the first instance slow to answer.
bool WaitUntilVisible(HWND window, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    while (!IsWindowVisible(window)) {
        if (GetTickCount64() >= end) {
            return false;
        }
        Sleep(50);
    }
    return true;
}

TEST(LaunchTest, SecondInstanceShowsTheHiddenFirstAndExitsZero) {
    ASSERT_EQ(FindWindowW(L"Purvex.MainWindow", nullptr), nullptr)
        << "another Purvex window is already open";
    test::ChildProcess first(Command(L""));
    ASSERT_TRUE(first.Valid());
    HWND window = WaitForMainWindow(20000);
    ASSERT_NE(window, nullptr);
    // The first instance hides in the notification area; a second start must bring it back.
    ShowWindow(window, SW_HIDE);
    ASSERT_FALSE(IsWindowVisible(window));

    EXPECT_EQ(test::RunToExit(Command(L"--page junk")), 0u);
    EXPECT_TRUE(WaitUntilVisible(window, 20000));

    // Gallery and screenshot runs skip the check and run normally beside the first instance.
    test::ScratchDir scratch;
    const std::wstring png = scratch.Sub(L"beside.png");
    EXPECT_EQ(test::RunToExit(Command(L"--screenshot " + test::QuoteArgument(png))), 0u);

    PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_TRUE(first.Wait(60000).has_value());
}

}  // namespace
}  // namespace purvex

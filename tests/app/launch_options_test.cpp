#include "app/launch_options.h"

#include <gtest/gtest.h>

namespace purvex::app {
namespace {

LaunchOptions Parse(std::vector<std::wstring> args) {
    args.insert(args.begin(), L"purvex.exe");
    return ParseLaunchOptions(args);
}

TEST(LaunchOptionsTest, DefaultsWithoutArguments) {
    const LaunchOptions o = Parse({});
    EXPECT_FALSE(o.gallery);
    EXPECT_TRUE(o.page.empty());
    EXPECT_TRUE(o.lang.empty());
    EXPECT_TRUE(o.theme.empty());
    EXPECT_TRUE(o.screenshot.empty());
    EXPECT_EQ(o.scale, 1.0f);
}

TEST(LaunchOptionsTest, ValuesAreConsumedInOrder) {
    const LaunchOptions o = Parse({L"--page", L"junk", L"--lang", L"de-DE", L"--theme", L"dark",
                                   L"--screenshot", L"C:\\out dir\\a.png", L"--gallery"});
    EXPECT_EQ(o.page, "junk");
    EXPECT_EQ(o.lang, L"de-DE");
    EXPECT_EQ(o.theme, L"dark");
    EXPECT_EQ(o.screenshot, L"C:\\out dir\\a.png");
    EXPECT_TRUE(o.gallery);
}

TEST(LaunchOptionsTest, ValueOptionAsLastArgumentIsIgnored) {
    EXPECT_TRUE(Parse({L"--page"}).page.empty());
    const LaunchOptions o = Parse({L"--lang", L"fr-FR", L"--lang"});
    EXPECT_EQ(o.lang, L"fr-FR");
}

TEST(LaunchOptionsTest, RepeatedOptionOverwrites) {
    const LaunchOptions o = Parse({L"--page", L"junk", L"--page", L"about"});
    EXPECT_EQ(o.page, "about");
}

TEST(LaunchOptionsTest, NamesAreCaseSensitiveAndUnknownArgumentsIgnored) {
    const LaunchOptions o = Parse({L"--GALLERY", L"--Page", L"junk", L"-page", L"x", L"stray"});
    EXPECT_FALSE(o.gallery);
    EXPECT_TRUE(o.page.empty());
}

TEST(LaunchOptionsTest, ValueThatLooksLikeAnOptionIsStillAValue) {
    const LaunchOptions o = Parse({L"--page", L"--gallery"});
    EXPECT_EQ(o.page, "--gallery");
    EXPECT_FALSE(o.gallery);
}

TEST(LaunchOptionsTest, PageIsNarrowedToAscii) {
    EXPECT_EQ(Parse({L"--page", L"j\u00fcnk\u4e2d"}).page, "j?nk?");
}

TEST(LaunchOptionsTest, ScaleParsing) {
    struct Case {
        const wchar_t* text;
        float expected;
    };
    const Case cases[] = {
        {L"2", 2.0f},   {L"1.5", 1.5f}, {L"0.05", 1.0f},   {L"0.1", 1.0f},  {L"0.11", 0.11f},
        {L"abc", 1.0f}, {L"", 1.0f},    {L"-2", 1.0f},     {L"2.5x", 2.5f}, {L"3e0", 3.0f},
        {L".5", 0.5f},  {L"1,5", 1.0f}, {L"+1.25", 1.25f},
    };
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(Parse({L"--scale", c.text}).scale, c.expected) << c.text;
    }
    EXPECT_EQ(Parse({L"--scale"}).scale, 1.0f);
}

}  // namespace
}  // namespace purvex::app

#include "modules/junk/deep_paths.h"

#include <gtest/gtest.h>
#include <string>

#include "core/text.h"

namespace purvex::junk {
namespace {

TEST(DeepPathsTest, FindCacheFolderEndsAtTheFirstCacheComponent) {
    const std::wstring scratch = L"C:\\temp\\scratch";
    const struct {
        const wchar_t* path;
        bool allowLast;
        std::size_t startAt;
        const wchar_t* folder;  // the path up to the returned end; nullptr: none found
    } cases[] = {
        {L"C:\\Users\\bob\\AppData\\Local\\Foo\\Bar\\cache\\x.bin", false, 0,
         L"C:\\Users\\bob\\AppData\\Local\\Foo\\Bar\\cache"},
        {L"C:\\Foo\\cache\\temp\\x.bin", false, 0, L"C:\\Foo\\cache"},
        {L"C:\\Foo\\cache\\temp", true, 0, L"C:\\Foo\\cache"},
        {L"C:\\Foo\\cache", true, 0, L"C:\\Foo\\cache"},
        {L"C:\\Foo\\cache", false, 0, nullptr},
        {L"C:\\Foo\\cache\\", false, 0, nullptr},
        {L"C:\\X\\GPUCACHE\\f", false, 0, L"C:\\X\\GPUCACHE"},
        {L"C:\\X\\Code Cache\\js\\f", false, 0, L"C:\\X\\Code Cache"},
        {L"C:\\Users\\bob\\.cache\\pip\\f", false, 0, L"C:\\Users\\bob\\.cache"},
        {L"C:\\X\\mycache\\cache-data\\f", false, 0, nullptr},
        {L"C:\\App\\Service Worker\\CacheStorage\\a\\f", false, 0,
         L"C:\\App\\Service Worker\\CacheStorage"},
        {L"C:\\App\\Other\\CacheStorage\\a\\f", false, 0, nullptr},
        // A temporary profile is a whole profile, not a cache; its own temp folder still is.
        {L"C:\\Users\\TEMP\\Documents\\f", false, 0, nullptr},
        {L"C:\\Users\\TEMP\\AppData\\Local\\Temp\\f", false, 0,
         L"C:\\Users\\TEMP\\AppData\\Local\\Temp"},
        {L"C:\\Users\\TEMP", true, 0, nullptr},
        // Components of the walk root itself do not count.
        {L"C:\\temp\\scratch\\App\\cache\\f", false, scratch.size(),
         L"C:\\temp\\scratch\\App\\cache"},
        {L"C:\\temp\\scratch\\App\\f", false, scratch.size(), nullptr},
    };
    for (const auto& c : cases) {
        const std::wstring path = c.path;
        SCOPED_TRACE(core::WideToUtf8(path));
        const std::size_t end = FindCacheFolder(path, c.allowLast, c.startAt);
        if (c.folder == nullptr) {
            EXPECT_EQ(end, 0u);
        } else {
            EXPECT_EQ(path.substr(0, end), c.folder);
        }
    }
}

TEST(DeepPathsTest, FolderClassesOfTheSafetyAndGroupingRules) {
    const struct {
        const wchar_t* path;
        bool userData;
        bool inAppData;
    } cases[] = {
        {L"C:\\Users\\bob\\Documents\\x\\cache", true, false},
        {L"C:\\users\\BOB\\documents", true, false},
        {L"C:\\Users\\bob\\OneDrive - Org\\temp", true, false},
        {L"C:\\Users\\bob\\OneDrive", true, false},
        {L"C:\\Users\\bob\\OneDriv", false, false},
        {L"C:\\Users\\bob\\Saved Games\\cache", true, false},
        {L"C:\\Users\\bob", false, false},
        {L"C:\\Data\\bob\\Documents\\cache", false, false},
        {L"C:\\Users\\bob\\AppData\\Local\\Vendor\\App\\GPUCache", false, true},
        {L"C:\\Users\\bob\\appdata\\locallow\\x\\cache", false, true},
        {L"C:\\Users\\bob\\AppData\\Roaming\\Chat\\Service Worker\\CacheStorage", false, true},
        {L"C:\\Users\\bob\\AppData\\Local", false, false},
        {L"C:\\ProgramData\\Vendor\\App\\GPUCache", false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(core::WideToUtf8(c.path));
        EXPECT_EQ(IsUserDataFolder(c.path), c.userData);
        EXPECT_EQ(IsInAppData(c.path), c.inAppData);
    }
}

// Against the rules of this machine's own Windows folder.
TEST(DeepPathsTest, ShieldedFoldersHoldNothingThatCouldBeOffered) {
    const struct {
        const wchar_t* dir;
        bool shielded;
    } cases[] = {
        {L"C:\\Windows\\System32\\drivers", true},
        {L"C:\\Program Files\\App", true},
        {L"C:\\ProgramData\\Microsoft\\Crypto", true},
        {L"C:\\Windows", false},                 // holds Temp, Logs, Prefetch, ...
        {L"C:\\Windows\\System32", false},       // holds d3d_cache
        {L"C:\\ProgramData\\Microsoft", false},  // holds WER
        {L"C:\\ProgramData\\Vendor", false},
        {L"C:\\Users\\bob\\AppData\\Local\\Foo", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(IsShieldedFolder(c.dir), c.shielded) << core::WideToUtf8(c.dir);
    }
}

TEST(DeepPathsTest, GroupKeyNamesTheApplicationArea) {
    const struct {
        const wchar_t* folder;
        const wchar_t* location;
        const wchar_t* label;
    } cases[] = {
        {L"C:\\Users\\bob\\AppData\\Local\\Foo\\Bar\\cache",
         L"C:\\Users\\bob\\AppData\\Local\\Foo\\Bar", L"Foo\\Bar"},
        {L"C:\\Users\\bob\\AppData\\Local\\Foo\\cache", L"C:\\Users\\bob\\AppData\\Local\\Foo",
         L"Foo"},
        {L"C:\\Users\\bob\\AppData\\Local\\Foo\\Bar\\Baz\\cache",
         L"C:\\Users\\bob\\AppData\\Local\\Foo\\Bar", L"Foo\\Bar"},
        {L"C:\\Users\\bob\\AppData\\Local\\cache", L"C:\\Users\\bob\\AppData\\Local\\cache",
         L"cache"},
        {L"C:\\Users\\bob\\AppData\\Roaming\\Chat\\Service Worker\\CacheStorage",
         L"C:\\Users\\bob\\AppData\\Roaming\\Chat\\Service Worker", L"Chat\\Service Worker"},
        {L"C:\\Users\\bob\\.cache", L"C:\\Users\\bob\\.cache", L".cache"},
        {L"C:\\Users\\bob\\Tools\\App\\temp", L"C:\\Users\\bob\\Tools\\App", L"Tools\\App"},
        {L"C:\\ProgramData\\Vendor\\App\\temp", L"C:\\ProgramData\\Vendor\\App",
         L"ProgramData\\Vendor\\App"},
        {L"C:\\ProgramData\\Vendor\\GPUCache", L"C:\\ProgramData\\Vendor", L"ProgramData\\Vendor"},
        {L"C:\\Windows\\Temp", L"C:\\Windows\\Temp", L"Windows\\Temp"},
        {L"C:\\Foo\\cache", L"C:\\Foo", L"C:\\Foo"},
        {L"C:\\Foo\\Bar\\Baz\\cache", L"C:\\Foo\\Bar", L"C:\\Foo\\Bar"},
        {L"C:\\Temp", L"C:\\Temp", L"C:\\Temp"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(core::WideToUtf8(c.folder));
        const DeepGroupKey key = DeepGroupKeyOf(c.folder);
        EXPECT_EQ(key.location, c.location);
        EXPECT_EQ(key.label, c.label);
    }
    EXPECT_EQ(DeepGroupId(L"C:\\Users\\Bob\\AppData\\Local\\Foo"),
              "junk.deep.c:\\users\\bob\\appdata\\local\\foo");
}

TEST(DeepPathsTest, WellKnownCacheNames) {
    for (const wchar_t* name : {L"GPUCache", L"code cache", L"CacheStorage", L"Cache2"}) {
        EXPECT_TRUE(IsWellKnownCacheName(name)) << core::WideToUtf8(name);
    }
    for (const wchar_t* name : {L"cache", L"temp", L".cache", L"Caches"}) {
        EXPECT_FALSE(IsWellKnownCacheName(name)) << core::WideToUtf8(name);
    }
}

}  // namespace
}  // namespace purvex::junk

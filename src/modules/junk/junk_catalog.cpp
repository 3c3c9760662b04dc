#include "modules/junk/junk_catalog.h"

#include <array>
#include <string>

namespace purvex::junk {
namespace {

// Toolkit icon ids used by the catalog.
constexpr std::uint16_t kIconSlimming = 5;
constexpr std::uint16_t kIconRestore = 24;
constexpr std::uint16_t kIconDrive = 25;
constexpr std::uint16_t kIconClock = 26;
constexpr std::uint16_t kIconWarning = 28;
constexpr std::uint16_t kIconDismiss = 29;
constexpr std::uint16_t kIconShieldCheck = 31;
constexpr std::uint16_t kIconDocumentLines = 39;
constexpr std::uint16_t kIconImage = 40;
constexpr std::uint16_t kIconArchive = 42;
constexpr std::uint16_t kIconPackage = 43;
constexpr std::uint16_t kIconFile = 44;
constexpr std::uint16_t kIconLayers = 46;

std::vector<JunkLocation> Recursive(std::initializer_list<const wchar_t*> templates) {
    std::vector<JunkLocation> locations;
    for (const wchar_t* path : templates) {
        locations.push_back({path, L"", true});
    }
    return locations;
}

// Only the cache folders of each browser profile, so that cookies, history, saved logins and
// settings beside them are never part of the category.
std::vector<JunkLocation> BrowserLocations() {
    constexpr std::array<const wchar_t*, 5> kChromiumProfiles = {
        L"%LOCALAPPDATA%\\Google\\Chrome\\User Data\\*",
        L"%LOCALAPPDATA%\\Microsoft\\Edge\\User Data\\*",
        L"%LOCALAPPDATA%\\BraveSoftware\\Brave-Browser\\User Data\\*",
        L"%LOCALAPPDATA%\\Vivaldi\\User Data\\*",
        L"%LOCALAPPDATA%\\Opera Software\\*",
    };
    constexpr std::array<const wchar_t*, 3> kCacheFolders = {L"Cache", L"Code Cache", L"GPUCache"};
    std::vector<JunkLocation> locations;
    for (const wchar_t* profile : kChromiumProfiles) {
        for (const wchar_t* cache : kCacheFolders) {
            locations.push_back({std::wstring(profile) + L"\\" + cache, L"", true});
        }
    }
    locations.push_back({L"%LOCALAPPDATA%\\Mozilla\\Firefox\\Profiles\\*\\cache2", L"", true});
    locations.push_back({L"%LOCALAPPDATA%\\Microsoft\\Windows\\INetCache", L"", true});
    return locations;
}

std::vector<JunkCategory> BuildCatalog() {
    using core::Risk;
    std::vector<JunkCategory> catalog;
    catalog.push_back(
        {"junk.temp",
         "junk.cat.temp.name",
         "junk.cat.temp.desc",
         kIconClock,
         Risk::Low,
         true,
         false,
         AgeRule::TempSetting,
         0,
         Recursive({L"%TEMP%", L"%SystemRoot%\\Temp", L"%USERSROOT%\\*\\AppData\\Local\\Temp"}),
         {}});
    catalog.push_back({"junk.wupdate",
                       "junk.cat.wupdate.name",
                       "junk.cat.wupdate.desc",
                       kIconPackage,
                       Risk::Medium,
                       true,
                       false,
                       AgeRule::TempSetting,
                       0,
                       Recursive({L"%SystemRoot%\\SoftwareDistribution\\Download"}),
                       {}});
    catalog.push_back(
        {"junk.delivery",
         "junk.cat.delivery.name",
         "junk.cat.delivery.desc",
         kIconDrive,
         Risk::Medium,
         true,
         false,
         AgeRule::TempSetting,
         0,
         Recursive({L"%SystemRoot%\\ServiceProfiles\\NetworkService\\AppData\\Local\\Microsoft\\"
                    L"Windows\\DeliveryOptimization\\Cache",
                    L"%SystemRoot%\\SoftwareDistribution\\DeliveryOptimization"}),
         {}});
    catalog.push_back({"junk.defender",
                       "junk.cat.defender.name",
                       "junk.cat.defender.desc",
                       kIconShieldCheck,
                       Risk::Medium,
                       true,
                       false,
                       AgeRule::None,
                       0,
                       Recursive({L"%ProgramData%\\Microsoft\\Windows Defender\\LocalCopy",
                                  L"%ProgramData%\\Microsoft\\Windows Defender\\Support",
                                  L"%ProgramData%\\Microsoft\\Windows Defender\\Scans\\History\\"
                                  L"Service"}),
                       {}});
    catalog.push_back({"junk.thumbs",
                       "junk.cat.thumbs.name",
                       "junk.cat.thumbs.desc",
                       kIconImage,
                       Risk::Low,
                       true,
                       false,
                       AgeRule::None,
                       0,
                       {{L"%LOCALAPPDATA%\\Microsoft\\Windows\\Explorer",
                         L"thumbcache_*.db;iconcache_*.db", false}},
                       {}});
    catalog.push_back(
        {"junk.shader",
         "junk.cat.shader.name",
         "junk.cat.shader.desc",
         kIconLayers,
         Risk::Low,
         true,
         false,
         AgeRule::None,
         0,
         Recursive({L"%LOCALAPPDATA%\\D3DSCache", L"%LOCALAPPDATA%\\NVIDIA\\DXCache",
                    L"%LOCALAPPDATA%\\NVIDIA\\GLCache",
                    L"%ProgramData%\\NVIDIA Corporation\\NV_Cache", L"%LOCALAPPDATA%\\AMD\\DxCache",
                    L"%LOCALAPPDATA%\\AMD\\DxcCache", L"%LOCALAPPDATA%\\AMD\\GLCache",
                    L"%LOCALAPPDATA%\\AMD\\VkCache", L"%LOCALAPPDATALOW%\\Intel\\ShaderCache",
                    L"%SystemRoot%\\System32\\d3d_cache"}),
         {}});
    catalog.push_back({"junk.browser",
                       "junk.cat.browser.name",
                       "junk.cat.browser.desc",
                       kIconLayers,
                       Risk::Low,
                       true,
                       false,
                       AgeRule::None,
                       0,
                       BrowserLocations(),
                       {}});
    catalog.push_back(
        {"junk.wer",
         "junk.cat.wer.name",
         "junk.cat.wer.desc",
         kIconWarning,
         Risk::Low,
         true,
         false,
         AgeRule::None,
         0,
         Recursive({L"%ProgramData%\\Microsoft\\Windows\\WER",
                    L"%LOCALAPPDATA%\\Microsoft\\Windows\\WER", L"%LOCALAPPDATA%\\CrashDumps"}),
         {}});
    // The servicing stack keeps these open; the two spellings of the DISM log are one name
    // under the case-insensitive comparison, and both are listed as the table gives them.
    catalog.push_back({"junk.logs",
                       "junk.cat.logs.name",
                       "junk.cat.logs.desc",
                       kIconDocumentLines,
                       Risk::Medium,
                       true,
                       false,
                       AgeRule::TempSetting,
                       0,
                       Recursive({L"%SystemRoot%\\Logs"}),
                       {L"CBS.log", L"CbsPersist.log", L"DISM.log", L"dism.log"}});
    catalog.push_back({"junk.prefetch",
                       "junk.cat.prefetch.name",
                       "junk.cat.prefetch.desc",
                       kIconSlimming,
                       Risk::Medium,
                       false,
                       false,
                       AgeRule::None,
                       0,
                       {{L"%SystemRoot%\\Prefetch", L"*.pf", false}},
                       {}});
    catalog.push_back(
        {"junk.fontcache",
         "junk.cat.fontcache.name",
         "junk.cat.fontcache.desc",
         kIconFile,
         Risk::Low,
         false,
         false,
         AgeRule::None,
         0,
         Recursive({L"%SystemRoot%\\ServiceProfiles\\LocalService\\AppData\\Local\\FontCache"}),
         {}});
    catalog.push_back({"junk.patchcache",
                       "junk.cat.patchcache.name",
                       "junk.cat.patchcache.desc",
                       kIconArchive,
                       Risk::Medium,
                       false,
                       false,
                       AgeRule::None,
                       0,
                       Recursive({L"%SystemRoot%\\Installer\\$PatchCache$"}),
                       {}});
    catalog.push_back(
        {"junk.apps",
         "junk.cat.apps.name",
         "junk.cat.apps.desc",
         kIconLayers,
         Risk::Low,
         true,
         false,
         AgeRule::None,
         0,
         Recursive({L"%APPDATA%\\discord\\Cache", L"%APPDATA%\\discord\\Code Cache",
                    L"%APPDATA%\\discord\\GPUCache", L"%APPDATA%\\Microsoft\\Teams\\Cache",
                    L"%APPDATA%\\Microsoft\\Teams\\Code Cache",
                    L"%APPDATA%\\Microsoft\\Teams\\GPUCache",
                    L"%APPDATA%\\Microsoft\\Teams\\Service Worker\\CacheStorage",
                    L"%APPDATA%\\Microsoft\\Teams\\tmp", L"%APPDATA%\\Slack\\Cache",
                    L"%APPDATA%\\Slack\\Code Cache", L"%APPDATA%\\Slack\\GPUCache",
                    L"%APPDATA%\\Code\\Cache", L"%APPDATA%\\Code\\CachedData",
                    L"%APPDATA%\\Code\\Code Cache", L"%APPDATA%\\Code\\GPUCache",
                    L"%APPDATA%\\Code\\CachedExtensionVSIXs", L"%LOCALAPPDATA%\\Steam\\htmlcache",
                    L"%LOCALAPPDATA%\\Spotify\\Data"}),
         {}});
    std::vector<JunkLocation> dumps = {{L"%SystemRoot%", L"MEMORY.DMP", false}};
    for (JunkLocation& location :
         Recursive({L"%SystemRoot%\\Minidump", L"%SystemRoot%\\LiveKernelReports"})) {
        dumps.push_back(std::move(location));
    }
    catalog.push_back({"junk.dumps",
                       "junk.cat.dumps.name",
                       "junk.cat.dumps.desc",
                       kIconDismiss,
                       Risk::High,
                       false,
                       false,
                       AgeRule::None,
                       0,
                       std::move(dumps),
                       {}});
    catalog.push_back(
        {"junk.upgradelogs",
         "junk.cat.upgradelogs.name",
         "junk.cat.upgradelogs.desc",
         kIconDocumentLines,
         Risk::Medium,
         false,
         false,
         AgeRule::TempSetting,
         0,
         Recursive({L"%SystemRoot%\\Panther", L"%SystemDrive%\\$Windows.~BT\\Sources\\Panther"}),
         {}});
    catalog.push_back({"junk.recyclebin",
                       "junk.cat.recyclebin.name",
                       "junk.cat.recyclebin.desc",
                       kIconRestore,
                       Risk::High,
                       false,
                       true,
                       AgeRule::None,
                       0,
                       {},
                       {}});
    return catalog;
}

}  // namespace

const std::vector<JunkCategory>& BuiltinJunkCatalog() {
    // A function-local static is built once, thread-safely, and lives until exit.
    static const std::vector<JunkCategory> catalog = BuildCatalog();
    return catalog;
}

std::uint16_t JunkCategoryIcon(std::string_view id) {
    for (const JunkCategory& category : BuiltinJunkCatalog()) {
        if (category.id == id) {
            return category.icon;
        }
    }
    return kFolderIcon;
}

}  // namespace purvex::junk

#include "core/safety/safety_tables.h"

namespace purvex::core::safety_detail {
namespace {

const std::wstring kProtected[] = {
    L"{SystemRoot}",
    L"{SystemRoot}\\System32",
    L"{SystemRoot}\\SysWOW64",
    L"{SystemRoot}\\WinSxS",
    L"{ProgramFiles}",
    L"{ProgramFilesX86}",
    L"{ProgramW6432}",
    L"{ProgramData}",
    L"{UsersRoot}",
    L"{UsersRoot}\\*",
    L"{ProfileList}",
    L"{UsersRoot}\\*\\Desktop",
    L"{UsersRoot}\\*\\Documents",
    L"{UsersRoot}\\*\\Downloads",
    L"{UsersRoot}\\*\\Pictures",
    L"{UsersRoot}\\*\\Videos",
    L"{UsersRoot}\\*\\Music",
    L"{UsersRoot}\\*\\Favorites",
    L"{UsersRoot}\\*\\OneDrive",
    L"{UsersRoot}\\*\\AppData",
    L"{UsersRoot}\\*\\AppData\\Roaming",
    L"{UsersRoot}\\*\\AppData\\Local",
    L"{UsersRoot}\\*\\AppData\\LocalLow",
    L"{Profile}",
    L"{Desktop}",
    L"{Documents}",
    L"{Downloads}",
    L"{Pictures}",
    L"{Videos}",
    L"{Music}",
    L"{AppData}",
    L"{LocalAppData}",
    L"{LocalAppDataLow}",
    L"{Public}",
    L"{OneDrive}",
};

const std::wstring kCritical[] = {
    L"{SystemRoot}",
    L"{ProgramFiles}",
    L"{ProgramFilesX86}",
    L"{ProgramW6432}",
    L"{ProgramData}\\Microsoft",
    L"*\\$Recycle.Bin",
    L"*\\System Volume Information",
    L"*\\Recovery",
    L"*\\Boot",
    L"*\\EFI",
    L"*\\bootmgr",
    L"*\\BOOTNXT",
    L"*\\pagefile.sys",
    L"*\\hiberfil.sys",
    L"*\\swapfile.sys",
    L"{LocalAppData}\\Packages",
    L"{UsersRoot}\\*\\AppData\\Local\\Packages",
    L"{UsersRoot}\\*\\NTUSER.DAT*",
    L"{UsersRoot}\\*\\AppData\\Local\\Microsoft\\Windows\\UsrClass.dat*",
};

const std::wstring kAllowedJunk[] = {
    L"{SystemRoot}\\Temp",
    L"{SystemRoot}\\SoftwareDistribution\\Download",
    L"{SystemRoot}\\SoftwareDistribution\\DeliveryOptimization",
    L"{SystemRoot}\\ServiceProfiles\\NetworkService\\AppData\\Local\\Microsoft\\Windows\\"
    L"DeliveryOptimization\\Cache",
    L"{SystemRoot}\\Logs",
    L"{SystemRoot}\\Prefetch",
    L"{SystemRoot}\\Minidump",
    L"{SystemRoot}\\LiveKernelReports",
    L"{SystemRoot}\\Panther",
    L"{SystemRoot}\\Installer\\$PatchCache$",
    L"{SystemRoot}\\ServiceProfiles\\LocalService\\AppData\\Local\\FontCache",
    L"{SystemRoot}\\System32\\d3d_cache",
    L"{ProgramData}\\Microsoft\\Windows\\WER",
    L"{ProgramData}\\Microsoft\\Windows Defender\\LocalCopy",
    L"{ProgramData}\\Microsoft\\Windows Defender\\Support",
    L"{ProgramData}\\Microsoft\\Windows Defender\\Scans\\History\\Service",
    L"{ProgramData}\\Microsoft\\Search\\Data\\Applications\\Windows",
    L"{LocalAppData}\\Packages\\*\\LocalCache",
    L"{LocalAppData}\\Packages\\*\\TempState",
    L"{LocalAppData}\\Packages\\*\\AC\\INetCache",
    L"{LocalAppData}\\Packages\\*\\AC\\Temp",
    L"{UsersRoot}\\*\\AppData\\Local\\Packages\\*\\LocalCache",
    L"{UsersRoot}\\*\\AppData\\Local\\Packages\\*\\TempState",
    L"{UsersRoot}\\*\\AppData\\Local\\Packages\\*\\AC\\INetCache",
    L"{UsersRoot}\\*\\AppData\\Local\\Packages\\*\\AC\\Temp",
    L"{LocalAppData}\\Packages\\5319275A.WhatsAppDesktop_*\\LocalState\\EBWebView\\Default\\Cache",
    L"{LocalAppData}\\Packages\\5319275A.WhatsAppDesktop_*\\LocalState\\EBWebView\\Default\\Code "
    L"Cache",
    L"{LocalAppData}\\Packages\\5319275A.WhatsAppDesktop_*"
    L"\\LocalState\\EBWebView\\Default\\GPUCache",
    L"{UsersRoot}\\*\\AppData\\Local\\Packages\\5319275A.WhatsAppDesktop_*"
    L"\\LocalState\\EBWebView\\Default\\Cache",
    L"{UsersRoot}\\*\\AppData\\Local\\Packages\\5319275A.WhatsAppDesktop_*"
    L"\\LocalState\\EBWebView\\Default\\Code Cache",
    L"{UsersRoot}\\*\\AppData\\Local\\Packages\\5319275A.WhatsAppDesktop_*"
    L"\\LocalState\\EBWebView\\Default\\GPUCache",
    L"{LocalAppData}\\Packages\\AmazonVideo.PrimeVideo_*\\LocalState\\EBWebView\\Default\\Cache",
    L"{LocalAppData}\\Packages\\AmazonVideo.PrimeVideo_*\\LocalState\\EBWebView\\Default\\Code "
    L"Cache",
    L"{LocalAppData}\\Packages\\AmazonVideo.PrimeVideo_*\\LocalState\\EBWebView\\Default\\GPUCache",
    L"{UsersRoot}\\*\\AppData\\Local\\Packages\\AmazonVideo.PrimeVideo_*"
    L"\\LocalState\\EBWebView\\Default\\Cache",
    L"{UsersRoot}\\*\\AppData\\Local\\Packages\\AmazonVideo.PrimeVideo_*"
    L"\\LocalState\\EBWebView\\Default\\Code Cache",
    L"{UsersRoot}\\*\\AppData\\Local\\Packages\\AmazonVideo.PrimeVideo_*"
    L"\\LocalState\\EBWebView\\Default\\GPUCache",
};

const std::wstring kCrashDump[] = {L"{SystemRoot}\\MEMORY.DMP"};

const std::wstring kPreviousInstallations[] = {
    L"*\\Windows.old",
    L"*\\$Windows.~BT",
    L"*\\$Windows.~WS",
};

const std::wstring kBrowserData[] = {
    L"Local Storage", L"IndexedDB", L"Session Storage", L"Network", L"Local Extension Settings",
    L"databases",     L"Cookies",   L"Login Data",
};

static_assert(std::size(kProtected) == 35);
static_assert(std::size(kCritical) == 19);
static_assert(std::size(kAllowedJunk) == 37);
static_assert(std::size(kBrowserData) == 8);

}  // namespace

std::span<const std::wstring> ProtectedLocationTemplates() {
    return kProtected;
}
std::span<const std::wstring> CriticalAreaTemplates() {
    return kCritical;
}
std::span<const std::wstring> AllowedJunkTemplates() {
    return kAllowedJunk;
}
std::span<const std::wstring> CrashDumpTemplates() {
    return kCrashDump;
}
std::span<const std::wstring> PreviousInstallationTemplates() {
    return kPreviousInstallations;
}
std::span<const std::wstring> BrowserDataNames() {
    return kBrowserData;
}

}  // namespace purvex::core::safety_detail

#pragma once

#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/fs/path_text.h"
#include "core/fs/paths.h"
#include "core/unique_handle.h"
#include "modules/junk/junk_scan_types.h"
#include "support/scratch_dir.h"

namespace purvex::junk::profile {

inline constexpr std::uint64_t kHour = 36'000'000'000ull;

// One file of the made-up machine: where it lies, how big it is, how many hours ago it was
// last written, and whether the quick scan should take it.
struct ProfileFile {
    const wchar_t* relative;
    std::uint64_t size;
    std::uint64_t ageHours;
    const char* group;  // the group expected to list it; nullptr: never listed
};

// A realistic slice of a Windows machine inside a scratch folder: a user's temp folder with old
// and fresh files, a second user, the Windows temp, log, dump and cache folders, and a
// user's documents that nothing may ever list.
inline const std::vector<ProfileFile>& ProfileFiles() {
    static const std::vector<ProfileFile> files = {
        {L"Users\\bob\\AppData\\Local\\Temp\\old-a.tmp", 1000, 48, "junk.temp"},
        {L"Users\\bob\\AppData\\Local\\Temp\\sub\\old-b.tmp", 2000, 30, "junk.temp"},
        {L"Users\\bob\\AppData\\Local\\Temp\\fresh.tmp", 10, 1, nullptr},
        {L"Users\\bob\\AppData\\Local\\Temp\\locked.tmp", 400, 48, "junk.temp"},
        {L"Users\\bob\\AppData\\Local\\Temp\\empty.tmp", 0, 48, "junk.temp"},
        {L"Users\\bob\\Documents\\precious.docx", 4000, 100, nullptr},
        {L"Users\\alice\\AppData\\Local\\Temp\\alice.tmp", 700, 48, "junk.temp"},
        {L"Windows\\Temp\\setup.log", 300, 72, "junk.temp"},
        {L"Windows\\Temp\\new.log", 50, 2, nullptr},
        {L"Users\\bob\\AppData\\Local\\Microsoft\\Windows\\Explorer\\thumbcache_96.db", 800, 0,
         "junk.thumbs"},
        {L"Users\\bob\\AppData\\Local\\Microsoft\\Windows\\Explorer\\iconcache_wide.db", 600, 0,
         "junk.thumbs"},
        {L"Users\\bob\\AppData\\Local\\Microsoft\\Windows\\Explorer\\thumbcache_96.db-journal", 50,
         0, nullptr},
        {L"Users\\bob\\AppData\\Local\\Microsoft\\Windows\\Explorer\\sub\\thumbcache_32.db", 70, 0,
         nullptr},
        {L"Users\\bob\\AppData\\Local\\D3DSCache\\abc\\shader.bin", 5000, 0, "junk.shader"},
        {L"Users\\bob\\AppData\\Local\\Google\\Chrome\\User "
         L"Data\\Default\\Cache\\Cache_Data\\data_0",
         3000, 0, "junk.browser"},
        {L"Users\\bob\\AppData\\Local\\Google\\Chrome\\User Data\\Default\\Code Cache\\js\\index",
         1200, 0, "junk.browser"},
        {L"Users\\bob\\AppData\\Local\\Google\\Chrome\\User Data\\Default\\Cookies", 100, 0,
         nullptr},
        {L"Users\\bob\\AppData\\Local\\Google\\Chrome\\User Data\\Profile 1\\GPUCache\\data_1", 900,
         0, "junk.browser"},
        {L"Users\\bob\\AppData\\Local\\CrashDumps\\app.exe.123.dmp", 6000, 0, "junk.wer"},
        {L"Windows\\Logs\\CBS\\CBS.log", 500, 48, nullptr},
        {L"Windows\\Logs\\DISM\\DISM.LOG", 500, 48, nullptr},
        {L"Windows\\Logs\\old.log", 900, 48, "junk.logs"},
        {L"Windows\\Logs\\dism.log.old", 120, 48, "junk.logs"},
        {L"Windows\\Logs\\Keep\\kept.log", 250, 48, nullptr},  // the user excluded Keep
        {L"Windows\\MEMORY.DMP", 10000, 0, "junk.dumps"},
        {L"Windows\\System32\\MEMORY.DMP", 77, 0, nullptr},
        {L"Windows\\Minidump\\m.dmp", 1500, 0, "junk.dumps"},
    };
    return files;
}

inline constexpr wchar_t kLockedFile[] = L"Users\\bob\\AppData\\Local\\Temp\\locked.tmp";
inline constexpr wchar_t kExcludedFolder[] = L"Windows\\Logs\\Keep";
inline constexpr wchar_t kLinkInTemp[] = L"Users\\bob\\AppData\\Local\\Temp\\docs";
inline constexpr wchar_t kLinkTarget[] = L"Users\\bob\\Documents";
inline constexpr std::uint64_t kRecycleBinSize = 12345;
inline constexpr std::uint64_t kRecycleBinCount = 3;

inline void SetWriteTime(const std::wstring& path, std::uint64_t fileTime) {
    core::UniqueFile file(CreateFileW(core::ToLongPath(path).c_str(), FILE_WRITE_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    FILETIME time{static_cast<DWORD>(fileTime), static_cast<DWORD>(fileTime >> 32)};
    if (file) {
        SetFileTime(file.Get(), nullptr, nullptr, &time);
    }
}

// Writes the profile's files with distinct contents and ages measured back from `now`.
inline void MakeProfile(const purvex::test::ScratchDir& scratch, std::uint64_t now) {
    char fill = 'a';
    for (const ProfileFile& file : ProfileFiles()) {
        const std::wstring path =
            scratch.MakeFile(file.relative, std::string(static_cast<std::size_t>(file.size), fill));
        fill = fill == 'z' ? 'a' : static_cast<char>(fill + 1);
        SetWriteTime(path, now - file.ageHours * kHour);
    }
}

// The template variables of the made-up machine, all inside the scratch folder.
inline core::VariableResolver ProfileResolver(const purvex::test::ScratchDir& scratch) {
    const std::wstring root = scratch.Path();
    const std::wstring local = root + L"\\Users\\bob\\AppData\\Local";
    const std::map<std::wstring, std::wstring> values = {
        {L"temp", local + L"\\Temp"},
        {L"systemroot", root + L"\\Windows"},
        {L"systemdrive", root},
        {L"programdata", root + L"\\ProgramData"},
        {L"appdata", root + L"\\Users\\bob\\AppData\\Roaming"},
        {L"localappdata", local},
        {L"localappdatalow", root + L"\\Users\\bob\\AppData\\LocalLow"},
        {L"usersroot", root + L"\\Users"},
    };
    return [values](const std::wstring& name) {
        const auto it = values.find(core::FoldCase(name));
        return it == values.end() ? std::wstring() : it->second;
    };
}

inline QuickScanOptions ProfileOptions(const purvex::test::ScratchDir& scratch, std::uint64_t now) {
    QuickScanOptions options;
    options.resolver = ProfileResolver(scratch);
    options.now = now;
    options.queryRecycleBin = [](std::uint64_t& size, std::uint64_t& count) {
        size = kRecycleBinSize;
        count = kRecycleBinCount;
        return true;
    };
    return options;
}

}  // namespace purvex::junk::profile

#include <windows.h>

#include <knownfolders.h>
#include <sddl.h>
#include <shlobj.h>

#include <array>
#include <vector>

#include "core/com_ptr.h"
#include "core/fs/locations.h"
#include "core/fs/paths.h"
#include "core/text.h"
#include "core/unique_handle.h"

namespace purvex::core {
namespace {

constexpr wchar_t kProfileListKey[] =
    L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";

const std::array<KnownLocation, 19> kLocations = {{
    {L"SystemRoot", &FOLDERID_Windows, {L"%SystemRoot%", L"%windir%"}},
    {L"ProgramFiles", &FOLDERID_ProgramFiles, {L"%ProgramFiles%", {}}},
    {L"ProgramFilesX86", &FOLDERID_ProgramFilesX86, {L"%ProgramFiles(x86)%", {}}},
    {L"ProgramW6432", &FOLDERID_ProgramFilesX64, {L"%ProgramW6432%", {}}},
    {L"ProgramData", &FOLDERID_ProgramData, {L"%ProgramData%", L"%ALLUSERSPROFILE%"}},
    {L"UsersRoot", &FOLDERID_UserProfiles, {}},
    {L"Profile", &FOLDERID_Profile, {L"%USERPROFILE%", {}}},
    {L"Desktop", &FOLDERID_Desktop, {}},
    {L"Documents", &FOLDERID_Documents, {}},
    {L"Downloads", &FOLDERID_Downloads, {}},
    {L"Pictures", &FOLDERID_Pictures, {}},
    {L"Videos", &FOLDERID_Videos, {}},
    {L"Music", &FOLDERID_Music, {}},
    {L"AppData", &FOLDERID_RoamingAppData, {L"%APPDATA%", {}}},
    {L"LocalAppData", &FOLDERID_LocalAppData, {L"%LOCALAPPDATA%", {}}},
    {L"LocalAppDataLow", &FOLDERID_LocalAppDataLow, {}},
    {L"Public", &FOLDERID_Public, {L"%PUBLIC%", {}}},
    {L"OneDrive", &FOLDERID_SkyDrive, {L"%OneDrive%", {}}},
    {L"ProfileList", nullptr, {}},
}};

// A string value, expanded (REG_EXPAND_SZ) unless `noExpand`; empty when absent or too long.
std::wstring ReadRegistryString(HKEY key, const std::wstring& subKey, const wchar_t* value,
                                bool noExpand, std::size_t maxChars) {
    const DWORD flags =
        noExpand ? (RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND) : RRF_RT_REG_SZ;
    std::wstring buffer(maxChars + 1, L'\0');
    DWORD bytes = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (RegGetValueW(key, subKey.c_str(), value, flags, nullptr, buffer.data(), &bytes) !=
        ERROR_SUCCESS) {
        return {};
    }
    buffer.resize(bytes / sizeof(wchar_t));
    while (!buffer.empty() && buffer.back() == L'\0') {
        buffer.pop_back();
    }
    return buffer;
}

// An environment spelling that does not fully expand names no folder.
std::wstring ExpandEnvironmentForm(std::wstring_view form) {
    std::wstring expanded = ExpandEnvironment(form);
    return expanded.find(L'%') == std::wstring::npos ? expanded : std::wstring();
}

std::vector<std::wstring> ProfileListFolders() {
    std::vector<std::wstring> folders;
    UniqueKey list;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kProfileListKey, 0, KEY_READ, list.Put()) !=
        ERROR_SUCCESS) {
        return folders;
    }
    for (DWORD index = 0;; ++index) {
        wchar_t name[257];
        DWORD length = 257;
        const LSTATUS status =
            RegEnumKeyExW(list.Get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) {
            continue;
        }
        if (status != ERROR_SUCCESS) {
            break;
        }
        std::wstring folder = ReadRegistryString(list.Get(), std::wstring(name, length),
                                                 L"ProfileImagePath", false, 32767);
        if (!folder.empty()) {
            folders.push_back(std::move(folder));
        }
    }
    return folders;
}

std::wstring ComputeCurrentUserProfile() {
    UniqueHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.Put())) {
        return {};
    }
    DWORD size = 0;
    GetTokenInformation(token.Get(), TokenUser, nullptr, 0, &size);
    if (size == 0) {
        return {};
    }
    std::vector<std::byte> user(size);
    if (!GetTokenInformation(token.Get(), TokenUser, user.data(), size, &size)) {
        return {};
    }
    wchar_t* sidText = nullptr;
    if (!ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &sidText)) {
        return {};
    }
    const UniqueLocal sidOwner(sidText);
    std::wstring value =
        ReadRegistryString(HKEY_LOCAL_MACHINE, std::wstring(kProfileListKey) + L"\\" + sidText,
                           L"ProfileImagePath", true, 520);
    if (value.empty()) {
        return {};
    }
    const std::wstring windows = WindowsFolder();
    if (StartsWithIgnoreCase(value, L"%SystemDrive%")) {
        if (windows.size() < 2 || windows[1] != L':') {
            return {};
        }
        value = windows.substr(0, 2) + value.substr(13);
    }
    if (StartsWithIgnoreCase(value, L"%SystemRoot%")) {
        if (windows.empty()) {
            return {};
        }
        value = windows + value.substr(12);
    }
    if (value.find(L'%') != std::wstring::npos) {
        return {};
    }
    return NormalizePath(value);
}

}  // namespace

std::span<const KnownLocation> KnownLocations() {
    return kLocations;
}

const KnownLocation* FindKnownLocation(std::wstring_view name) {
    for (const KnownLocation& location : kLocations) {
        if (EqualsIgnoreCase(location.name, name)) {
            return &location;
        }
    }
    return nullptr;
}

std::wstring KnownFolderPath(const GUID& folderId) {
    CoTaskMem<wchar_t> path;
    if (FAILED(SHGetKnownFolderPath(folderId, KF_FLAG_DONT_VERIFY, nullptr, path.Put())) ||
        path.Get() == nullptr) {
        return {};
    }
    return path.Get();
}

std::wstring WindowsFolder() {
    wchar_t buffer[MAX_PATH + 1];
    const UINT length = GetSystemWindowsDirectoryW(buffer, MAX_PATH + 1);
    if (length == 0 || length > MAX_PATH) {
        return {};
    }
    return std::wstring(buffer, length);
}

std::wstring CurrentUserProfile() {
    static const std::wstring profile = ComputeCurrentUserProfile();
    return profile;
}

std::wstring UserFolder(const GUID& folderId) {
    const std::wstring profile = CurrentUserProfile();
    if (profile.empty()) {
        return {};
    }
    std::wstring folder = NormalizePath(KnownFolderPath(folderId));
    return IsUnder(folder, profile) ? folder : std::wstring();
}

std::wstring ResolveVariable(const std::wstring& name) {
    const auto is = [&name](std::wstring_view candidate) {
        return EqualsIgnoreCase(name, candidate);
    };
    if (is(L"SystemRoot") || is(L"windir")) {
        return WindowsFolder();
    }
    if (is(L"SystemDrive")) {
        const std::wstring windows = WindowsFolder();
        return windows.size() >= 2 && windows[1] == L':' ? windows.substr(0, 2) : std::wstring();
    }
    if (is(L"ProgramData")) {
        return KnownFolderPath(FOLDERID_ProgramData);
    }
    if (is(L"USERSROOT")) {
        return KnownFolderPath(FOLDERID_UserProfiles);
    }
    if (is(L"USERPROFILE")) {
        return CurrentUserProfile();
    }
    if (is(L"APPDATA")) {
        return UserFolder(FOLDERID_RoamingAppData);
    }
    if (is(L"LOCALAPPDATA")) {
        return UserFolder(FOLDERID_LocalAppData);
    }
    if (is(L"LOCALAPPDATALOW")) {
        return UserFolder(FOLDERID_LocalAppDataLow);
    }
    if (is(L"TEMP") || is(L"TMP")) {
        const std::wstring local = UserFolder(FOLDERID_LocalAppData);
        return local.empty() ? std::wstring() : JoinPath(local, L"Temp");
    }
    return {};
}

std::vector<std::wstring> SystemLocationCandidates(const KnownLocation& location,
                                                   TemplateMode mode) {
    if (location.folderId == nullptr) {
        return ProfileListFolders();
    }
    std::vector<std::wstring> candidates;
    if (std::wstring known = KnownFolderPath(*location.folderId); !known.empty()) {
        candidates.push_back(std::move(known));
    }
    if (mode == TemplateMode::PreferredForm && !candidates.empty()) {
        return candidates;
    }
    for (std::wstring_view form : location.environmentForms) {
        if (form.empty()) {
            continue;
        }
        if (std::wstring expanded = ExpandEnvironmentForm(form); !expanded.empty()) {
            candidates.push_back(std::move(expanded));
        }
    }
    if (EqualsIgnoreCase(location.name, L"UsersRoot")) {
        std::wstring root = ReadRegistryString(HKEY_LOCAL_MACHINE, kProfileListKey,
                                               L"ProfilesDirectory", false, 32767);
        if (!root.empty()) {
            candidates.push_back(std::move(root));
        }
    }
    if (EqualsIgnoreCase(location.name, L"SystemRoot")) {
        if (std::wstring windows = WindowsFolder(); !windows.empty()) {
            candidates.push_back(std::move(windows));
        }
    }
    return candidates;
}

}  // namespace purvex::core

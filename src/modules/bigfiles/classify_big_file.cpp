#include "modules/bigfiles/classify_big_file.h"

#include <algorithm>
#include <string>
#include <vector>

#include "core/fs/paths.h"
#include "modules/bigfiles/windows_folder.h"

namespace purvex::bigfiles {
namespace {

using core::Risk;

// All names below are lower case: paths are folded before they are compared.

struct TypeRule {
    std::wstring_view text;  // folder rule: components separated by "\"; or an extension
    SourceTag tag;
    std::int32_t level;
};

struct SystemName {
    std::wstring_view name;
    bool slimLink;
};

struct UserFolder {
    std::wstring_view name;
    SourceTag tag;
};

// Tried in this order; the first rule matching anywhere among the folders decides.
constexpr TypeRule kFolderRules[] = {
    {L"node_modules", SourceTag::DevCache, 1},
    {L".gradle", SourceTag::DevCache, 1},
    {L".nuget", SourceTag::DevCache, 1},
    {L".m2", SourceTag::DevCache, 1},
    {L".cargo", SourceTag::DevCache, 1},
    {L".rustup", SourceTag::DevCache, 1},
    {L".npm", SourceTag::DevCache, 1},
    {L"npm-cache", SourceTag::DevCache, 1},
    {L".yarn", SourceTag::DevCache, 1},
    {L"yarn\\cache", SourceTag::DevCache, 1},
    {L".pnpm-store", SourceTag::DevCache, 1},
    {L"pip\\cache", SourceTag::DevCache, 1},
    {L"__pycache__", SourceTag::DevCache, 1},
    {L"go\\pkg\\mod", SourceTag::DevCache, 1},
    {L".vs", SourceTag::DevCache, 1},
    {L"ipch", SourceTag::DevCache, 1},
    {L".android\\avd", SourceTag::Emulator, 3},
    {L"system-images", SourceTag::Emulator, 3},
    {L"bluestacks*", SourceTag::Emulator, 3},
    {L"mumu*", SourceTag::Emulator, 3},
    {L"ldplayer*", SourceTag::Emulator, 3},
    {L"leidian*", SourceTag::Emulator, 3},
    {L"nox", SourceTag::Emulator, 3},
    {L"noxvm*", SourceTag::Emulator, 3},
    {L"memu*", SourceTag::Emulator, 3},
    {L"microvirt", SourceTag::Emulator, 3},
    {L"genymotion", SourceTag::Emulator, 3},
    {L"steamapps", SourceTag::Game, 3},
    {L"steamlibrary", SourceTag::Game, 3},
    {L"epic games", SourceTag::Game, 3},
    {L"riot games", SourceTag::Game, 3},
    {L"gog games", SourceTag::Game, 3},
    {L"gog galaxy", SourceTag::Game, 3},
    {L"battle.net", SourceTag::Game, 3},
    {L"origin games", SourceTag::Game, 3},
    {L"ea games", SourceTag::Game, 3},
    {L"ubisoft game launcher", SourceTag::Game, 3},
    {L"xboxgames", SourceTag::Game, 3},
    {L"wegameapps", SourceTag::Game, 3},
    {L"hoyoplay", SourceTag::Game, 3},
    {L"virtualbox vms", SourceTag::VirtualDisk, 3},
    {L"virtual machines", SourceTag::VirtualDisk, 3},
};

constexpr TypeRule kExtensions[] = {
    {L".iso", SourceTag::DiskImage, 2},     {L".img", SourceTag::DiskImage, 2},
    {L".esd", SourceTag::DiskImage, 2},     {L".wim", SourceTag::DiskImage, 2},
    {L".swm", SourceTag::DiskImage, 2},     {L".dmg", SourceTag::DiskImage, 2},
    {L".nrg", SourceTag::DiskImage, 2},     {L".mdf", SourceTag::DiskImage, 2},
    {L".zip", SourceTag::Archive, 2},       {L".7z", SourceTag::Archive, 2},
    {L".rar", SourceTag::Archive, 2},       {L".tar", SourceTag::Archive, 2},
    {L".gz", SourceTag::Archive, 2},        {L".tgz", SourceTag::Archive, 2},
    {L".bz2", SourceTag::Archive, 2},       {L".xz", SourceTag::Archive, 2},
    {L".zst", SourceTag::Archive, 2},       {L".cab", SourceTag::Archive, 2},
    {L".lzma", SourceTag::Archive, 2},      {L".msi", SourceTag::Installer, 2},
    {L".msp", SourceTag::Installer, 2},     {L".msu", SourceTag::Installer, 2},
    {L".msix", SourceTag::Installer, 2},    {L".msixbundle", SourceTag::Installer, 2},
    {L".appx", SourceTag::Installer, 2},    {L".appxbundle", SourceTag::Installer, 2},
    {L".vhd", SourceTag::VirtualDisk, 3},   {L".vhdx", SourceTag::VirtualDisk, 3},
    {L".avhd", SourceTag::VirtualDisk, 3},  {L".avhdx", SourceTag::VirtualDisk, 3},
    {L".vmdk", SourceTag::VirtualDisk, 3},  {L".vdi", SourceTag::VirtualDisk, 3},
    {L".qcow2", SourceTag::VirtualDisk, 3}, {L".hdd", SourceTag::VirtualDisk, 3},
    {L".vmem", SourceTag::VirtualDisk, 3},  {L".vmsn", SourceTag::VirtualDisk, 3},
    {L".vmss", SourceTag::VirtualDisk, 3},  {L".vsv", SourceTag::VirtualDisk, 3},
    {L".mp4", SourceTag::Videos, 2},        {L".mkv", SourceTag::Videos, 2},
    {L".avi", SourceTag::Videos, 2},        {L".mov", SourceTag::Videos, 2},
    {L".wmv", SourceTag::Videos, 2},        {L".flv", SourceTag::Videos, 2},
    {L".webm", SourceTag::Videos, 2},       {L".m4v", SourceTag::Videos, 2},
    {L".ts", SourceTag::Videos, 2},         {L".mts", SourceTag::Videos, 2},
    {L".m2ts", SourceTag::Videos, 2},       {L".mpg", SourceTag::Videos, 2},
    {L".mpeg", SourceTag::Videos, 2},       {L".vob", SourceTag::Videos, 2},
    {L".3gp", SourceTag::Videos, 2},        {L".rmvb", SourceTag::Videos, 2},
    {L".pdf", SourceTag::Documents, 2},     {L".doc", SourceTag::Documents, 2},
    {L".docx", SourceTag::Documents, 2},    {L".ppt", SourceTag::Documents, 2},
    {L".pptx", SourceTag::Documents, 2},    {L".xls", SourceTag::Documents, 2},
    {L".xlsx", SourceTag::Documents, 2},    {L".psd", SourceTag::Documents, 2},
    {L".pst", SourceTag::Documents, 3},     {L".ost", SourceTag::Documents, 3},
};

constexpr UserFolder kUserFolders[] = {
    {L"downloads", SourceTag::Downloads}, {L"desktop", SourceTag::Desktop},
    {L"documents", SourceTag::Documents}, {L"videos", SourceTag::Videos},
    {L"pictures", SourceTag::Other},      {L"music", SourceTag::Other},
};

// Directly in the drive root.
constexpr SystemName kSystemFiles[] = {
    {L"pagefile.sys", true},
    {L"hiberfil.sys", true},
    {L"swapfile.sys", false},
};

// Directly below the drive root.
constexpr SystemName kSystemFolders[] = {
    {L"$recycle.bin", false}, {L"system volume information", false},
    {L"recovery", false},     {L"$winreagent", false},
    {L"$windows.~bt", true},  {L"$windows.~ws", true},
    {L"windows.old", true},   {L"$sysreset", false},
    {L"boot", false},         {L"efi", false},
    {L"config.msi", false},   {L"$getcurrent", false},
};

template <typename Table>
const auto* FindName(const Table& table, std::wstring_view name) {
    const auto* end = std::end(table);
    const auto* found =
        std::find_if(std::begin(table), end, [&](const auto& row) { return row.name == name; });
    return found == end ? nullptr : found;
}

const TypeRule* FindExtension(std::wstring_view extension) {
    for (const TypeRule& rule : kExtensions) {
        if (rule.text == extension) {
            return &rule;
        }
    }
    return nullptr;
}

// A rule component ending in "*" takes any folder name that begins with the text before it.
bool ComponentMatches(std::wstring_view pattern, std::wstring_view name) {
    if (!pattern.empty() && pattern.back() == L'*') {
        return name.starts_with(pattern.substr(0, pattern.size() - 1));
    }
    return name == pattern;
}

// The rule's components against the folders c[start] … c[end - 1], one after another.
bool RuleMatchesAt(std::wstring_view rule, const std::vector<std::wstring>& c, std::size_t start,
                   std::size_t end) {
    std::size_t i = start;
    for (;;) {
        const std::size_t cut = rule.find(L'\\');
        if (i >= end || !ComponentMatches(rule.substr(0, cut), c[i])) {
            return false;
        }
        ++i;
        if (cut == std::wstring_view::npos) {
            return true;
        }
        rule.remove_prefix(cut + 1);
    }
}

// Only folders take part: never the drive (c[0]) and never the file name (c[last]).
const TypeRule* FindFolderRule(const std::vector<std::wstring>& c) {
    const std::size_t last = c.size() - 1;
    for (const TypeRule& rule : kFolderRules) {
        for (std::size_t start = 1; start < last; ++start) {
            if (RuleMatchesAt(rule.text, c, start, last)) {
                return &rule;
            }
        }
    }
    return nullptr;
}

std::wstring_view ExtensionOf(std::wstring_view fileName) {
    const std::size_t dot = fileName.rfind(L'.');
    return dot == std::wstring_view::npos ? std::wstring_view() : fileName.substr(dot);
}

Risk RiskOfLevel(std::int32_t level) {
    switch (level) {
        case 1:
            return Risk::Low;
        case 2:
            return Risk::Medium;
        case 3:
            return Risk::High;
        default:
            return Risk::Locked;
    }
}

BigFileClass System(bool slimLink) {
    return BigFileClass{SourceTag::System, SourceTag::Other, 5, Risk::Locked, slimLink};
}

BigFileClass Classify(std::wstring_view rawPath, std::wstring_view windowsFolder) {
    const std::wstring path = core::FoldCase(core::NormalizePath(rawPath));
    const std::vector<std::wstring> c = core::SplitPath(path);
    const std::size_t n = c.size();
    if (path.size() < 3 || path[1] != L':' || n < 2) {
        return BigFileClass{};
    }
    const std::size_t last = n - 1;

    if (n == 2) {
        if (const SystemName* file = FindName(kSystemFiles, c[1])) {
            return System(file->slimLink);
        }
    }

    // The reference folder is brought to the same form as the path, whatever its spelling.
    const std::wstring windows = core::FoldCase(core::NormalizePath(windowsFolder));
    if ((!windows.empty() && path.starts_with(windows + L'\\')) || (n >= 3 && c[1] == L"windows")) {
        return System(n >= 4 && c[2] == L"winsxs");
    }
    if (n >= 3) {
        if (const SystemName* folder = FindName(kSystemFolders, c[1])) {
            return System(folder->slimLink);
        }
        if (c[1] == L"programdata" && n >= 4 && c[2] == L"microsoft") {
            return System(n >= 5 && c[3] == L"search");
        }
    }

    SourceTag type = SourceTag::Other;
    std::int32_t typeLevel = 0;
    const std::wstring_view extension = ExtensionOf(c[last]);
    if (const TypeRule* rule = FindFolderRule(c)) {
        type = rule->tag;
        typeLevel = rule->level;
    } else if (const TypeRule* ext = FindExtension(extension)) {
        type = ext->tag;
        typeLevel = ext->level;
    }

    if (n >= 3 && (c[1] == L"program files" || c[1] == L"program files (x86)")) {
        return BigFileClass{type != SourceTag::Other ? type : SourceTag::Application,
                            SourceTag::Application, 4, Risk::Locked, false};
    }

    bool inUserFolder = false;
    SourceTag userTag = SourceTag::Other;
    if (n >= 5 && c[1] == L"users") {
        std::size_t i = 3;
        bool possible = true;
        if (c[3] == L"onedrive" || c[3].starts_with(L"onedrive - ")) {
            possible = n >= 6;
            i = 4;
        }
        if (possible) {
            if (const UserFolder* folder = FindName(kUserFolders, c[i])) {
                inUserFolder = true;
                userTag = folder->tag;
            }
        }
    }
    const std::int32_t base = inUserFolder ? 2 : 3;

    if (type == SourceTag::Other && extension == L".exe" &&
        (userTag == SourceTag::Downloads || userTag == SourceTag::Desktop)) {
        // A program lying in Downloads or on the desktop is almost always a setup package.
        type = SourceTag::Installer;
        typeLevel = 2;
    }
    std::int32_t level = base;
    if (type == SourceTag::DevCache) {
        level = typeLevel;
    } else if (type == SourceTag::Installer || type == SourceTag::DiskImage) {
        level = userTag == SourceTag::Downloads ? 1 : std::max(typeLevel, base);
    } else if (type != SourceTag::Other) {
        level = std::max(typeLevel, base);
    }
    return BigFileClass{type, userTag, level, RiskOfLevel(level), false};
}

}  // namespace

BigFileClass ClassifyBigFile(std::wstring_view path, std::wstring_view windowsFolder) {
    try {
        return Classify(
            path, windowsFolder.empty() ? std::wstring_view(SystemWindowsFolder()) : windowsFolder);
    } catch (...) {
        // Only memory exhaustion can get here; the fallback is the cautious default.
        return BigFileClass{};
    }
}

}  // namespace purvex::bigfiles

#include "modules/bigfiles/classify_big_file.h"

#include <windows.h>

#include <gtest/gtest.h>
#include <string>
#include <thread>
#include <vector>

#include "app/localization.h"
#include "core/fs/paths.h"
#include "core/text.h"
#include "modules/bigfiles/windows_folder.h"

namespace purvex::bigfiles {
namespace {

using core::Risk;
using T = SourceTag;

struct Case {
    const wchar_t* path;
    SourceTag tag;
    SourceTag secondary;
    std::int32_t level;
    Risk risk;
    bool slimLink;
};

TEST(ClassifyBigFileTest, PathsAgainstTheFixedTables) {
    const Case cases[] = {
        // Downloads, desktop and documents.
        {L"C:\\Users\\bob\\Downloads\\ubuntu.iso", T::DiskImage, T::Downloads, 1, Risk::Low, false},
        {L"C:\\Users\\bob\\Desktop\\setup.exe", T::Installer, T::Desktop, 2, Risk::Medium, false},
        {L"C:\\Users\\bob\\Downloads\\setup.exe", T::Installer, T::Downloads, 1, Risk::Low, false},
        {L"C:\\Tools\\setup.exe", T::Other, T::Other, 3, Risk::High, false},
        {L"C:\\Users\\bob\\Documents\\tool.exe", T::Other, T::Documents, 2, Risk::Medium, false},
        {L"C:\\Users\\bob\\Documents\\archive.pst", T::Documents, T::Documents, 3, Risk::High,
         false},
        {L"C:\\Users\\bob\\Documents\\report.pdf", T::Documents, T::Documents, 2, Risk::Medium,
         false},
        {L"C:\\Users\\bob\\Desktop\\disc.iso", T::DiskImage, T::Desktop, 2, Risk::Medium, false},
        // OneDrive: the user folder is one level further down, and only there.
        {L"C:\\Users\\bob\\OneDrive\\Videos\\clip.mp4", T::Videos, T::Videos, 2, Risk::Medium,
         false},
        {L"C:\\Users\\bob\\OneDrive - Contoso\\Downloads\\a.zip", T::Archive, T::Downloads, 2,
         Risk::Medium, false},
        {L"C:\\Users\\bob\\OneDrive\\clip.mp4", T::Videos, T::Other, 3, Risk::High, false},
        {L"C:\\Users\\bob\\Pictures\\raw.dng", T::Other, T::Other, 2, Risk::Medium, false},
        {L"C:\\Users\\bob\\big.bin", T::Other, T::Other, 3, Risk::High, false},
        {L"C:\\Users\\bob\\Downloads", T::Other, T::Other, 3, Risk::High, false},
        // Developer caches are low wherever they are; rules of two components match runs.
        {L"C:\\Users\\bob\\project\\node_modules\\pkg\\big.bin", T::DevCache, T::Other, 1,
         Risk::Low, false},
        {L"C:\\Users\\bob\\AppData\\Local\\pip\\cache\\x.whl", T::DevCache, T::Other, 1, Risk::Low,
         false},
        {L"C:\\Users\\bob\\AppData\\Local\\pip\\x.whl", T::Other, T::Other, 3, Risk::High, false},
        {L"C:\\Users\\bob\\go\\pkg\\mod\\cache\\x.zip", T::DevCache, T::Other, 1, Risk::Low, false},
        {L"C:\\Users\\bob\\Downloads\\node_modules\\a.iso", T::DevCache, T::Downloads, 1, Risk::Low,
         false},
        // Folder rules take folders only, prefixes with "*", in table order before extensions.
        {L"C:\\Emu\\bluestacks_nxt\\Engine\\Root.vhd", T::Emulator, T::Other, 3, Risk::High, false},
        {L"C:\\Games\\MuMuPlayer-12.0\\disk.img", T::Emulator, T::Other, 3, Risk::High, false},
        {L"C:\\Data\\mumu.iso", T::DiskImage, T::Other, 3, Risk::High, false},
        {L"C:\\Data\\nox2\\a.bin", T::Other, T::Other, 3, Risk::High, false},
        {L"D:\\SteamLibrary\\steamapps\\common\\g.pak", T::Game, T::Other, 3, Risk::High, false},
        {L"C:\\Users\\bob\\VirtualBox VMs\\w\\w.vdi", T::VirtualDisk, T::Other, 3, Risk::High,
         false},
        {L"C:\\Users\\bob\\Downloads\\disk.vhdx", T::VirtualDisk, T::Downloads, 3, Risk::High,
         false},
        {L"C:\\Data\\movie.MKV", T::Videos, T::Other, 3, Risk::High, false},
        {L"C:\\Data\\backup.tar.gz", T::Archive, T::Other, 3, Risk::High, false},
        {L"C:\\Data\\noext", T::Other, T::Other, 3, Risk::High, false},
        // Program Files.
        {L"C:\\Program Files\\App\\data.pak", T::Application, T::Application, 4, Risk::Locked,
         false},
        {L"C:\\Program Files (x86)\\App\\setup.iso", T::DiskImage, T::Application, 4, Risk::Locked,
         false},
        // Windows and system areas.
        {L"C:\\Windows\\WinSxS\\x.dll", T::System, T::Other, 5, Risk::Locked, true},
        {L"C:\\Windows\\Temp\\x.tmp", T::System, T::Other, 5, Risk::Locked, false},
        {L"D:\\Windows\\x.dll", T::System, T::Other, 5, Risk::Locked, false},
        {L"C:\\pagefile.sys", T::System, T::Other, 5, Risk::Locked, true},
        {L"C:\\hiberfil.sys", T::System, T::Other, 5, Risk::Locked, true},
        {L"C:\\swapfile.sys", T::System, T::Other, 5, Risk::Locked, false},
        {L"C:\\Data\\pagefile.sys", T::Other, T::Other, 3, Risk::High, false},
        {L"C:\\Windows.old\\Windows\\x", T::System, T::Other, 5, Risk::Locked, true},
        {L"C:\\$Recycle.Bin\\S-1-5-21\\$R1.iso", T::System, T::Other, 5, Risk::Locked, false},
        {L"C:\\$WINDOWS.~BT\\Sources\\install.esd", T::System, T::Other, 5, Risk::Locked, true},
        {L"C:\\ProgramData\\Microsoft\\Search\\Data\\Windows.edb", T::System, T::Other, 5,
         Risk::Locked, true},
        {L"C:\\ProgramData\\Microsoft\\Windows\\x.dat", T::System, T::Other, 5, Risk::Locked,
         false},
        {L"C:\\ProgramData\\Vendor\\cache.zip", T::Archive, T::Other, 3, Risk::High, false},
        // Spellings: forward slashes and doubled separators are normalised first.
        {L"C:/Users/bob//Downloads/ubuntu.ISO", T::DiskImage, T::Downloads, 1, Risk::Low, false},
        // Not a drive path at all: the cautious default.
        {L"", T::Other, T::Other, 3, Risk::High, false},
        {L"relative\\file.iso", T::Other, T::Other, 3, Risk::High, false},
        {L"\\\\server\\share\\Downloads\\a.iso", T::Other, T::Other, 3, Risk::High, false},
        {L"C:\\", T::Other, T::Other, 3, Risk::High, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(core::WideToUtf8(c.path));
        const BigFileClass got = ClassifyBigFile(c.path, L"C:\\Windows");
        EXPECT_EQ(got.tag, c.tag);
        EXPECT_EQ(got.secondaryTag, c.secondary);
        EXPECT_EQ(got.level, c.level);
        EXPECT_EQ(got.risk, c.risk);
        EXPECT_EQ(got.slimLink, c.slimLink);
    }
}

TEST(ClassifyBigFileTest, WindowsFolderElsewhereIsStillSystem) {
    for (const wchar_t* folder : {L"C:\\WinNT", L"C:\\WinNT\\", L"c:/winnt/"}) {
        SCOPED_TRACE(core::WideToUtf8(folder));
        const BigFileClass got = ClassifyBigFile(L"C:\\WINNT\\Installer\\x.msi", folder);
        EXPECT_EQ(got.tag, SourceTag::System);
        EXPECT_EQ(got.risk, Risk::Locked);
    }
    // Only the folder itself and below: a sibling sharing its name's beginning is not.
    EXPECT_EQ(ClassifyBigFile(L"C:\\WinNTData\\x.msi", L"C:\\WinNT").tag, SourceTag::Installer);
}

TEST(ClassifyBigFileTest, SystemWindowsFolderIsReadOnceForEveryThread) {
    wchar_t buffer[MAX_PATH] = {};
    ASSERT_GT(GetWindowsDirectoryW(buffer, MAX_PATH), 0u);
    std::vector<const std::wstring*> seen(4);
    std::vector<std::thread> threads;
    for (auto& s : seen) {
        threads.emplace_back([&s] { s = &SystemWindowsFolder(); });
    }
    for (auto& t : threads) {
        t.join();
    }
    for (const std::wstring* s : seen) {
        EXPECT_EQ(s, seen[0]);
    }
    EXPECT_TRUE(core::PathEquals(*seen[0], buffer));
    EXPECT_NE(seen[0]->back(), L'\\');
    // The default reference is that folder.
    EXPECT_EQ(ClassifyBigFile(*seen[0] + L"\\Fonts\\big.ttf").tag, SourceTag::System);
}

TEST(ClassifyBigFileTest, EveryTagHasItsEnglishText) {
    ASSERT_TRUE(app::SetLanguage(L"en"));
    const wchar_t* texts[kSourceTagCount] = {
        L"Other",      L"Downloads",       L"Desktop",   L"Documents",    L"Videos",
        L"Disk image", L"Archive",         L"Installer", L"Virtual disk", L"Emulator",
        L"Game",       L"Developer cache", L"Programs",  L"System",
    };
    for (std::uint8_t tag = 0; tag < kSourceTagCount; ++tag) {
        SCOPED_TRACE(tag);
        EXPECT_EQ(app::Tr(SourceTagKey(static_cast<SourceTag>(tag))), texts[tag]);
    }
    EXPECT_EQ(SourceTagKey(SourceTag::DiskImage), "bigfiles.tag.disk_image");
    EXPECT_EQ(SourceTagKey(static_cast<SourceTag>(200)), "bigfiles.tag.other");
}

}  // namespace
}  // namespace purvex::bigfiles

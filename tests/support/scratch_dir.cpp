#include "support/scratch_dir.h"

#include <windows.h>

#include <atomic>
#include <gtest/gtest.h>
#include <string>

#include "core/fs/directory.h"
#include "core/fs/path_text.h"
#include "core/unique_handle.h"

namespace purvex::test {
namespace {

constexpr wchar_t kScratchRoot[] = L"C:\\purvex-tests";

std::wstring SafeName(std::string_view text) {
    std::wstring out;
    for (char c : text) {
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                           (c >= '0' && c <= '9') || c == '_' || c == '-';
        out.push_back(plain ? static_cast<wchar_t>(c) : L'_');
    }
    return out.substr(0, 60);
}

}  // namespace

ScratchDir::ScratchDir() {
    static std::atomic<unsigned> counter{0};
    std::wstring name = L"test";
    if (const auto* info = ::testing::UnitTest::GetInstance()->current_test_info()) {
        name = SafeName(std::string(info->test_suite_name()) + "." + info->name());
    }
    path_ = std::wstring(kScratchRoot) + L"\\" + name + L"-" +
            std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++);
    RemoveTreeNoFollow(path_);
    if (!core::CreateDirectoryTree(path_)) {
        ADD_FAILURE() << "cannot create the scratch folder";
    }
}

ScratchDir::~ScratchDir() {
    RemoveTreeNoFollow(path_);
}

std::wstring ScratchDir::Sub(std::wstring_view relative) const {
    return core::JoinPath(path_, relative);
}

std::wstring ScratchDir::MakeDir(std::wstring_view relative) const {
    const std::wstring full = Sub(relative);
    EXPECT_TRUE(core::CreateDirectoryTree(full));
    return full;
}

std::wstring ScratchDir::MakeFile(std::wstring_view relative, std::string_view content) const {
    const std::wstring full = Sub(relative);
    core::CreateDirectoryTree(core::ParentPath(full));
    core::UniqueFile file(CreateFileW(core::ToLongPath(full).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_TRUE(file.Valid()) << "cannot create a scratch file";
    DWORD written = 0;
    if (file && !content.empty()) {
        WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written,
                  nullptr);
    }
    return full;
}

std::wstring ScratchDir::MakeFileOfSize(std::wstring_view relative, std::uint64_t size) const {
    const std::wstring full = MakeFile(relative);
    core::UniqueFile file(CreateFileW(core::ToLongPath(full).c_str(), GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER distance{};
    distance.QuadPart = static_cast<LONGLONG>(size);
    if (file) {
        SetFilePointerEx(file.Get(), distance, nullptr, FILE_BEGIN);
        SetEndOfFile(file.Get());
    }
    return full;
}

void RemoveTreeNoFollow(const std::wstring& path) {
    // Never touch anything outside the scratch root, whatever a test passes in.
    const std::wstring root = std::wstring(kScratchRoot) + L"\\";
    if (path.size() <= root.size() ||
        CompareStringOrdinal(path.c_str(), static_cast<int>(root.size()), root.c_str(),
                             static_cast<int>(root.size()), TRUE) != CSTR_EQUAL) {
        return;
    }
    const std::wstring longPath = core::ToLongPath(path);
    const DWORD attributes = GetFileAttributesW(longPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        SetFileAttributesW(longPath.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(longPath.c_str());
        return;
    }
    WIN32_FIND_DATAW data{};
    core::UniqueFind find(FindFirstFileExW((longPath + L"\\*").c_str(), FindExInfoBasic, &data,
                                           FindExSearchNameMatch, nullptr, 0));
    if (find) {
        do {
            const std::wstring name = data.cFileName;
            if (name == L"." || name == L"..") {
                continue;
            }
            if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                continue;
            }
            RemoveTreeNoFollow(path + L"\\" + name);
        } while (FindNextFileW(find.Get(), &data));
    }
    find.Reset();
    SetFileAttributesW(longPath.c_str(), FILE_ATTRIBUTE_DIRECTORY);
    RemoveDirectoryW(longPath.c_str());
}

}  // namespace purvex::test

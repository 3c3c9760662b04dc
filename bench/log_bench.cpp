// Clean-log lines for a large cleanup: the buffered log against one WriteFile per line (what
// an unbuffered log would do), both into the same folder in the same run.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "core/fs/directory.h"
#include "core/fs/path_text.h"
#include "core/log.h"
#include "core/unique_handle.h"

namespace {

using namespace purvex;
using Clock = std::chrono::steady_clock;

constexpr int kLines = 200000;

std::wstring ItemPath(int i) {
    return L"C:\\Users\\someone\\AppData\\Local\\Temp\\folder" + std::to_wstring(i / 100) +
           L"\\file" + std::to_wstring(i) + L".tmp";
}

double UnbufferedSeconds(const std::wstring& file) {
    core::UniqueFile out(CreateFileW(core::ToLongPath(file).c_str(), FILE_APPEND_DATA,
                                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                     FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    const auto start = Clock::now();
    for (int i = 0; i < kLines; ++i) {
        std::string line = "2026-03-09 01:02:03.040\tDeleted\t4096\t0\t";
        for (wchar_t c : ItemPath(i)) {
            line.push_back(static_cast<char>(c));
        }
        line += "\r\n";
        DWORD written = 0;
        WriteFile(out.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    }
    return std::chrono::duration<double>(Clock::now() - start).count();
}

double LogSeconds(const std::wstring& folder) {
    core::Log& log = core::Log::Instance();
    log.Open(folder);
    const auto start = Clock::now();
    for (int i = 0; i < kLines; ++i) {
        core::CleanLogWrite(ItemPath(i), 4096, core::DeleteOutcome::Deleted, 0);
    }
    log.Flush();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    log.Close();
    return seconds;
}

void RemoveFlatFolder(const std::wstring& folder) {
    WIN32_FIND_DATAW entry{};
    core::UniqueFind find(FindFirstFileExW(core::ToLongPath(folder + L"\\*").c_str(),
                                           FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr,
                                           0));
    if (find) {
        do {
            if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
                DeleteFileW(core::ToLongPath(folder + L"\\" + entry.cFileName).c_str());
            }
        } while (FindNextFileW(find.Get(), &entry));
    }
    find.Reset();
    RemoveDirectoryW(core::ToLongPath(folder).c_str());
}

}  // namespace

int wmain() {
    const std::wstring folder =
        L"C:\\purvex-tests\\log-bench-" + std::to_wstring(GetCurrentProcessId());
    if (!core::CreateDirectoryTree(folder)) {
        std::printf("cannot create the bench folder\n");
        return 1;
    }
    const double unbuffered = UnbufferedSeconds(folder + L"\\unbuffered.log");
    const double buffered = LogSeconds(folder);
    RemoveFlatFolder(folder);
    std::printf("clean-log lines: %d\n", kLines);
    std::printf("one WriteFile per line: %.3f s (%.0f lines/s)\n", unbuffered, kLines / unbuffered);
    std::printf("buffered log:           %.3f s (%.0f lines/s)\n", buffered, kLines / buffered);
    std::printf("ratio (unbuffered / buffered): %.2f\n", unbuffered / buffered);
    return 0;
}

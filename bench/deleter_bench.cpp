// Usage: deleter_bench.exe [FOLDERS FILES_PER_FOLDER]
// Permanent deletion of many small files: the deleter (safety check, re-open, identity and
// final-path checks, clean log) against bare DeleteFileW/RemoveDirectoryW over an identical
// tree made in the same run.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "core/fs/directory.h"
#include "core/fs/path_text.h"
#include "core/log.h"
#include "core/safety/deleter.h"
#include "core/unique_handle.h"

namespace {

using namespace purvex;
using Clock = std::chrono::steady_clock;

// 50,000 files in 2,000 folders unless the command line asks for other numbers.
int kFolders = 2000;
int kFilesPerFolder = 25;

std::wstring FolderOf(const std::wstring& top, int i) {
    return top + L"\\d" + std::to_wstring(i / 100) + L"\\f" + std::to_wstring(i);
}

// Makes the tree and returns what a scan would have recorded for every file.
std::vector<core::DeleteRequest> MakeTree(const std::wstring& top) {
    std::vector<core::DeleteRequest> requests;
    requests.reserve(kFolders * kFilesPerFolder);
    const std::string content(100, 'x');
    for (int i = 0; i < kFolders; ++i) {
        const std::wstring folder = FolderOf(top, i);
        core::CreateDirectoryTree(folder);
        for (int k = 0; k < kFilesPerFolder; ++k) {
            const std::wstring path = folder + L"\\file" + std::to_wstring(k) + L".tmp";
            core::UniqueFile file(CreateFileW(core::ToLongPath(path).c_str(), GENERIC_WRITE, 0,
                                              nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                              nullptr));
            DWORD written = 0;
            WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &written,
                      nullptr);
            FILETIME write{};
            GetFileTime(file.Get(), nullptr, nullptr, &write);
            core::DeleteRequest request;
            request.path = path;
            request.root = top;
            request.expectedSize = content.size();
            request.expectedWriteTime =
                (static_cast<std::uint64_t>(write.dwHighDateTime) << 32) | write.dwLowDateTime;
            request.expectedAttributes = FILE_ATTRIBUTE_ARCHIVE;
            requests.push_back(std::move(request));
        }
    }
    return requests;
}

// The baseline: what a bare loop costs, folders removed bottom-up as the deleter does.
void DeletePlain(const std::wstring& top, const std::vector<core::DeleteRequest>& files) {
    for (const core::DeleteRequest& file : files) {
        DeleteFileW(core::ToLongPath(file.path).c_str());
    }
    for (int i = 0; i < kFolders; ++i) {
        RemoveDirectoryW(core::ToLongPath(FolderOf(top, i)).c_str());
    }
    for (int d = 0; d < kFolders / 100; ++d) {
        RemoveDirectoryW(core::ToLongPath(top + L"\\d" + std::to_wstring(d)).c_str());
    }
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc >= 3) {
        kFolders = std::max(100, _wtoi(argv[1]));
        kFilesPerFolder = std::max(1, _wtoi(argv[2]));
    }
    const std::wstring base = L"C:\\purvex-bench\\deleter";
    const std::wstring plainTop = base + L"\\plain";
    const std::wstring deleterTop = base + L"\\deleter";
    core::CreateDirectoryTree(base);
    core::Log::Instance().Open(base + L"\\logs");

    std::printf("making two trees of %d files in %d folders...\n", kFolders * kFilesPerFolder,
                kFolders);
    const std::vector<core::DeleteRequest> plainFiles = MakeTree(plainTop);
    const std::vector<core::DeleteRequest> requests = MakeTree(deleterTop);

    const auto plainStart = Clock::now();
    DeletePlain(plainTop, plainFiles);
    const double plain = Seconds(Clock::now() - plainStart);

    core::CancelToken cancel;
    const core::DeleteOptions options{core::DeleteMode::Permanent, true, true, true};
    const auto deleterStart = Clock::now();
    const core::DeleteReport report = core::Deleter::Delete(requests, options, nullptr, cancel);
    core::Log::Instance().Flush();
    const double deleter = Seconds(Clock::now() - deleterStart);

    std::printf("baseline DeleteFileW + RemoveDirectoryW: %.2f s (%.0f files/s)\n", plain,
                plainFiles.size() / plain);
    std::printf(
        "deleter (checks, clean log, empty parents): %.2f s (%.0f files/s), %u removed, "
        "%u failed\n",
        deleter, requests.size() / deleter, report.removedCount, report.failedCount);
    std::printf("ratio deleter / baseline: %.2f\n", deleter / plain);

    const std::wstring cleanLog = core::Log::Instance().CleanLogPathForToday();
    core::Log::Instance().Close();
    DeleteFileW(core::ToLongPath(cleanLog).c_str());
    for (const std::wstring& folder : {plainTop, deleterTop, base + L"\\logs", base}) {
        RemoveDirectoryW(core::ToLongPath(folder).c_str());
    }
    return report.failedCount == 0 ? 0 : 1;
}

#include "support/log_capture.h"

#include <windows.h>

#include <string>

#include "core/fs/path_text.h"
#include "core/log.h"
#include "core/unique_handle.h"

namespace purvex::test {
namespace {

std::string ReadWholeFile(const std::wstring& path) {
    core::UniqueFile file(CreateFileW(core::ToLongPath(path).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    std::string text;
    if (!file) {
        return text;
    }
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file.Get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        text.append(buffer, read);
    }
    return text;
}

}  // namespace

LogCapture::LogCapture() {
    core::Log::Instance().Open(dir_.Path());
}

LogCapture::~LogCapture() {
    core::Log::Instance().Close();
    core::Log::Instance().Open(L"");
}

int LogCapture::CountContaining(std::string_view first, std::string_view second) const {
    core::Log::Instance().Flush();
    int count = 0;
    WIN32_FIND_DATAW data{};
    core::UniqueFind find(FindFirstFileW(core::ToLongPath(dir_.Sub(L"app_*.log")).c_str(), &data));
    if (!find) {
        return 0;
    }
    do {
        const std::string text = ReadWholeFile(dir_.Sub(data.cFileName));
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos) {
                end = text.size();
            }
            const std::string_view line(text.data() + start, end - start);
            if (line.find(first) != std::string_view::npos &&
                line.find(second) != std::string_view::npos) {
                ++count;
            }
            start = end + 1;
        }
    } while (FindNextFileW(find.Get(), &data));
    return count;
}

}  // namespace purvex::test

#include "support/file_holder.h"

#include <windows.h>

#include <atomic>

namespace purvex::test {
namespace {

std::wstring UniquePrefix() {
    static std::atomic<unsigned> counter{0};
    return L"Local\\purvex-test-hold-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
           std::to_wstring(counter++);
}

}  // namespace

FileHolder::FileHolder(const std::wstring& path)
    : prefix_(UniquePrefix()),
      ready_(CreateEventW(nullptr, TRUE, FALSE, (prefix_ + L".ready").c_str())),
      release_(CreateEventW(nullptr, TRUE, FALSE, (prefix_ + L".release").c_str())),
      child_(QuoteArgument(BinFolder() + L"\\purvex_hold_open.exe") + L" " + QuoteArgument(path) +
             L" " + QuoteArgument(prefix_)) {
    holding_ =
        child_.Valid() && ready_ && WaitForSingleObject(ready_.Get(), 30000) == WAIT_OBJECT_0;
}

FileHolder::~FileHolder() {
    if (release_) {
        SetEvent(release_.Get());
    }
    child_.Wait(30000);
}

}  // namespace purvex::test

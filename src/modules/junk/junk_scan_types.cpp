#include "modules/junk/junk_scan_types.h"

#include <chrono>

namespace purvex::junk {

std::uint64_t GroupItemCount(const JunkGroup& group) {
    return group.isRecycleBin ? group.recycleCount : group.items.size();
}

std::wstring ItemRoot(const JunkGroup& group, std::size_t index) {
    if (index >= group.itemRoots.size()) {
        return group.roots.size() == 1 ? group.roots.front() : std::wstring();
    }
    const std::uint32_t root = group.itemRoots[index];
    return root < group.roots.size() ? group.roots[root] : std::wstring();
}

std::uint64_t MonotonicNanoseconds() {
    const auto since = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint64_t>(
        std::chrono::duration_cast<std::chrono::nanoseconds>(since).count());
}

}  // namespace purvex::junk

#include "modules/bigfiles/top_files.h"

#include <windows.h>

#include <algorithm>
#include <utility>

namespace purvex::bigfiles {
namespace {

// Negative, zero or positive, like wcscmp, over the paths' UTF-16 code units.
int CompareOrdinal(const std::wstring& a, const std::wstring& b, bool ignoreCase) {
    if (a.empty() || b.empty()) {
        return a.empty() ? (b.empty() ? 0 : -1) : 1;
    }
    const int r = CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(),
                                       static_cast<int>(b.size()), ignoreCase ? TRUE : FALSE);
    return r == CSTR_LESS_THAN ? -1 : (r == CSTR_GREATER_THAN ? 1 : 0);
}

}  // namespace

bool ComesBefore(const core::FileEntry& a, const core::FileEntry& b) {
    if (a.size != b.size) {
        return a.size > b.size;
    }
    if (const int folded = CompareOrdinal(a.path, b.path, true); folded != 0) {
        return folded < 0;
    }
    return CompareOrdinal(a.path, b.path, false) < 0;
}

bool TopFiles::Add(const core::FileEntry& entry) {
    if (entry.size < minSize_) {
        return false;
    }
    ++count_;
    total_ += entry.size;
    if (limit_ == 0) {
        return false;
    }
    if (heap_.size() < limit_) {
        BigFileItem item;
        static_cast<core::FileEntry&>(item) = entry;
        heap_.push_back(std::move(item));
        std::push_heap(heap_.begin(), heap_.end(), ComesBefore);
        return true;
    }
    if (!ComesBefore(entry, heap_.front())) {
        return false;
    }
    std::pop_heap(heap_.begin(), heap_.end(), ComesBefore);
    BigFileItem& slot = heap_.back();
    slot = BigFileItem{};
    static_cast<core::FileEntry&>(slot) = entry;
    std::push_heap(heap_.begin(), heap_.end(), ComesBefore);
    return true;
}

std::vector<BigFileItem> TopFiles::TakeSorted() {
    std::vector<BigFileItem> items = std::move(heap_);
    heap_.clear();
    std::sort(items.begin(), items.end(), ComesBefore);
    return items;
}

}  // namespace purvex::bigfiles

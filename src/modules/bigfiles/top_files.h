#pragma once

#include <cstdint>
#include <vector>

#include "core/fs/walker.h"
#include "modules/bigfiles/big_file_item.h"

namespace purvex::bigfiles {

// The one order of large files: larger first; equal sizes by path ignoring case, ascending;
// paths equal but for case by their exact code units, ascending.
bool ComesBefore(const core::FileEntry& a, const core::FileEntry& b);

// Counts every file of at least minSize but keeps only the `limit` that come first, so that a
// drive of millions of files costs no more than `limit` entries. Not synchronised.
class TopFiles {
public:
    TopFiles(std::uint64_t limit, std::uint64_t minSize) : limit_(limit), minSize_(minSize) {}

    // Counts the file when it is large enough; true when it is now among the kept ones.
    bool Add(const core::FileEntry& entry);

    // The kept files in order; the list is empty afterwards, the counts stay.
    std::vector<BigFileItem> TakeSorted();

    [[nodiscard]] std::uint64_t Count() const noexcept { return count_; }
    [[nodiscard]] std::uint64_t Total() const noexcept { return total_; }
    [[nodiscard]] std::uint64_t Limit() const noexcept { return limit_; }
    [[nodiscard]] std::uint64_t MinSize() const noexcept { return minSize_; }

private:
    std::uint64_t limit_;
    std::uint64_t minSize_;
    std::uint64_t count_ = 0;
    std::uint64_t total_ = 0;
    // A heap whose front is the kept file that comes last, the first to give way.
    std::vector<BigFileItem> heap_;
};

}  // namespace purvex::bigfiles

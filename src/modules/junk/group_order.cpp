#include "modules/junk/group_order.h"

#include <algorithm>
#include <cstddef>
#include <numeric>
#include <utility>
#include <vector>

namespace purvex::junk {

void SortGroupItems(JunkGroup& group) {
    std::vector<std::size_t> order(group.items.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        const core::FileEntry& x = group.items[a];
        const core::FileEntry& y = group.items[b];
        if (x.size != y.size) {
            return x.size > y.size;
        }
        return x.path < y.path;
    });
    std::vector<core::FileEntry> items;
    std::vector<std::uint32_t> roots;
    items.reserve(order.size());
    roots.reserve(order.size());
    group.totalBytes = 0;
    for (const std::size_t i : order) {
        group.totalBytes += group.items[i].size;
        roots.push_back(group.itemRoots[i]);
        items.push_back(std::move(group.items[i]));
    }
    group.items = std::move(items);
    group.itemRoots = std::move(roots);
}

}  // namespace purvex::junk

#include "core/fs/ntfs/path_index_impl.h"

#include <algorithm>
#include <new>

#include "core/fs/ntfs/on_disk.h"

namespace purvex::core::ntfs {
namespace {

constexpr std::uint64_t kMaxIndex = 0xFFFFFFFF;
constexpr std::uint64_t kMaxNameLength = 255;
constexpr std::size_t kMaxPathDepth = 16384;
constexpr std::uint32_t kDirectoryAttribute = 0x10;

wchar_t UpperDrive(wchar_t c) {
    return c >= L'a' && c <= L'z' ? static_cast<wchar_t>(c - L'a' + L'A') : c;
}

}  // namespace

PathIndexImpl::PathIndexImpl(wchar_t driveLetter) : driveLetter_(UpperDrive(driveLetter)) {}

bool PathIndexImpl::AddRecord(const MftRecordView& view) {
    const std::uint64_t index = view.frn & kRecordNumberMask;
    const std::uint64_t nameLength = std::min(view.nameLength, kMaxNameLength);
    if (index >= kMaxIndex || names_.size() + nameLength >= kMaxIndex) {
        return true;
    }
    if (index >= entries_.size()) {
        entries_.resize(static_cast<std::size_t>(index + 1));
    }
    Entry& e = entries_[static_cast<std::size_t>(index)];
    if (!e.used) {
        ++entryCount_;
    }
    const bool folder = (view.attributes & kDirectoryAttribute) != 0;
    e.size = folder ? 0 : view.dataSize;
    e.lastWriteTime = view.lastWriteTime;
    e.attributes = view.attributes;
    e.sequence = static_cast<std::uint16_t>(view.frn >> 48);
    const std::uint64_t parent = view.parentFrn & kRecordNumberMask;
    e.parentIndex = parent < kMaxIndex ? static_cast<std::uint32_t>(parent) : kNoParent;
    e.parentSequence = static_cast<std::uint16_t>(view.parentFrn >> 48);
    e.nameLength = static_cast<std::uint8_t>(nameLength);
    e.nameOffset = InternName(view.name, e.nameLength);
    e.used = true;
    return true;
}

namespace {

std::uint64_t HashName(const wchar_t* name, std::size_t length) {
    std::uint64_t h = 14695981039346656037ull;
    for (std::size_t i = 0; i < length; ++i) {
        h = (h ^ static_cast<std::uint16_t>(name[i])) * 1099511628211ull;
    }
    return h ^ (h >> 29);
}

}  // namespace

void PathIndexImpl::GrowNameTable() {
    std::vector<std::uint64_t> old = std::move(nameTable_);
    nameTable_.assign(old.empty() ? 1024 : old.size() * 2, 0);
    const std::size_t mask = nameTable_.size() - 1;
    for (std::uint64_t slot : old) {
        if (slot == 0) {
            continue;
        }
        const auto offset = static_cast<std::uint32_t>(slot) - 1;
        const auto length = static_cast<std::size_t>(slot >> 56);
        std::size_t i = HashName(names_.data() + offset, length) & mask;
        while (nameTable_[i] != 0) {
            i = (i + 1) & mask;
        }
        nameTable_[i] = slot;
    }
}

std::uint32_t PathIndexImpl::InternName(const char16_t* name, std::uint8_t length) {
    if ((distinctNames_ + 1) * 2 > nameTable_.size()) {
        GrowNameTable();
    }
    // Hash and compare in the pool's own character type, after appending the candidate.
    const auto offset = static_cast<std::uint32_t>(names_.size());
    names_.insert(names_.end(), name, name + length);
    const wchar_t* candidate = names_.data() + offset;
    const std::size_t mask = nameTable_.size() - 1;
    for (std::size_t i = HashName(candidate, length) & mask;; i = (i + 1) & mask) {
        const std::uint64_t slot = nameTable_[i];
        if (slot == 0) {
            nameTable_[i] = (std::uint64_t{offset} + 1) | std::uint64_t{length} << 56;
            ++distinctNames_;
            return offset;
        }
        const auto known = static_cast<std::uint32_t>(slot) - 1;
        if (static_cast<std::uint8_t>(slot >> 56) == length &&
            std::equal(candidate, candidate + length, names_.data() + known)) {
            names_.resize(offset);
            return known;
        }
    }
}

bool PathIndexImpl::HasUsableParent(std::uint32_t index) const noexcept {
    const Entry& e = entries_[index];
    const std::uint32_t p = e.parentIndex;
    if (p == kNoParent || p == index || p >= entries_.size()) {
        return false;
    }
    const Entry& parent = entries_[p];
    return parent.used && IsFolder(parent) &&
           (e.parentSequence == 0 || e.parentSequence == parent.sequence);
}

void PathIndexImpl::Finish() {
    nameTable_ = {};
    entries_.shrink_to_fit();
    names_.shrink_to_fit();
    BuildChildren();
    BuildTotals();
}

void PathIndexImpl::BuildChildren() {
    const std::size_t n = entries_.size();
    std::vector<std::uint32_t> start(n + 1, 0);
    for (std::uint32_t i = 0; i < n; ++i) {
        if (entries_[i].used && HasUsableParent(i)) {
            ++start[entries_[i].parentIndex + 1];
        }
    }
    for (std::size_t i = 0; i < n; ++i) {
        start[i + 1] += start[i];
    }
    children_.assign(start[n], 0);
    for (std::uint32_t i = 0; i < n; ++i) {
        if (entries_[i].used && HasUsableParent(i)) {
            children_[start[entries_[i].parentIndex]++] = i;
        }
    }
}

// Depth 1 is an entry without a usable parent; 0 marks entries on, or hanging below, a parent
// cycle, which belong to no folder reachable from the root and count in no total.
void PathIndexImpl::BuildTotals() {
    constexpr std::uint32_t kUnknown = 0xFFFFFFFF;
    constexpr std::uint32_t kOnPath = 0xFFFFFFFE;
    const std::size_t n = entries_.size();
    std::vector<std::uint32_t> depth(n, kUnknown);
    std::vector<std::uint32_t> path;
    std::uint32_t maxDepth = 0;
    for (std::uint32_t i = 0; i < n; ++i) {
        if (!entries_[i].used || depth[i] != kUnknown) {
            continue;
        }
        path.clear();
        std::uint32_t cur = i;
        bool reachedTop = false;
        while (depth[cur] == kUnknown) {
            depth[cur] = kOnPath;
            path.push_back(cur);
            if (!HasUsableParent(cur)) {
                reachedTop = true;
                break;
            }
            cur = entries_[cur].parentIndex;
        }
        std::uint32_t d = 0;
        if (reachedTop) {
            d = 0;  // the last entry of the path is a top, at depth 1
        } else if (depth[cur] == kOnPath || depth[cur] == 0) {
            for (std::uint32_t p : path) {
                depth[p] = 0;
            }
            continue;
        } else {
            d = depth[cur];
        }
        for (auto it = path.rbegin(); it != path.rend(); ++it) {
            depth[*it] = ++d;
        }
        maxDepth = std::max(maxDepth, d);
    }
    // Counting sort by depth, deepest first, so that every folder is complete before it is
    // added to its own parent.
    std::vector<std::uint32_t> bucketStart(static_cast<std::size_t>(maxDepth) + 2, 0);
    for (std::uint32_t i = 0; i < n; ++i) {
        if (entries_[i].used && depth[i] >= 2 && depth[i] != kUnknown) {
            ++bucketStart[depth[i] + 1];
        }
    }
    for (std::size_t b = 0; b + 1 < bucketStart.size(); ++b) {
        bucketStart[b + 1] += bucketStart[b];
    }
    std::vector<std::uint32_t> order(bucketStart.back());
    for (std::uint32_t i = 0; i < n; ++i) {
        if (entries_[i].used && depth[i] >= 2 && depth[i] != kUnknown) {
            order[bucketStart[depth[i]]++] = i;
        }
    }
    depth = {};
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        const std::uint64_t size = entries_[*it].size;
        Entry& parent = entries_[entries_[*it].parentIndex];
        parent.size = size > UINT64_MAX - parent.size ? UINT64_MAX : parent.size + size;
    }
}

const PathIndexImpl::Entry* PathIndexImpl::Find(std::uint64_t frn) const noexcept {
    const std::uint64_t index = frn & kRecordNumberMask;
    if (index >= entries_.size() || !entries_[static_cast<std::size_t>(index)].used) {
        return nullptr;
    }
    return &entries_[static_cast<std::size_t>(index)];
}

IndexEntry PathIndexImpl::MakeEntry(std::uint32_t index) const {
    const Entry& e = entries_[index];
    IndexEntry out;
    out.frn = std::uint64_t{index} | std::uint64_t{e.sequence} << 48;
    out.parentFrn = HasUsableParent(index)
                        ? std::uint64_t{e.parentIndex} | std::uint64_t{e.parentSequence} << 48
                        : 0;
    out.name = names_.data() + e.nameOffset;
    out.nameLength = e.nameLength;
    out.size = IsFolder(e) ? 0 : e.size;
    out.lastWriteTime = e.lastWriteTime;
    out.attributes = e.attributes;
    return out;
}

bool PathIndexImpl::Get(std::uint64_t frn, IndexEntry& out) const {
    if (Find(frn) == nullptr) {
        return false;
    }
    out = MakeEntry(static_cast<std::uint32_t>(frn & kRecordNumberMask));
    return true;
}

std::wstring PathIndexImpl::FullPath(std::uint64_t frn) const {
    if (Find(frn) == nullptr) {
        return {};
    }
    std::vector<std::uint32_t> chain;
    auto cur = static_cast<std::uint32_t>(frn & kRecordNumberMask);
    std::size_t length = 3;
    while (cur != kRootRecord) {
        if (chain.size() >= kMaxPathDepth || !HasUsableParent(cur)) {
            return {};
        }
        chain.push_back(cur);
        length += entries_[cur].nameLength + 1u;
        cur = entries_[cur].parentIndex;
    }
    std::wstring path;
    path.reserve(length);
    path.push_back(driveLetter_);
    path.append(L":\\");
    for (auto it = chain.rbegin(); it != chain.rend(); ++it) {
        if (it != chain.rbegin()) {
            path.push_back(L'\\');
        }
        const Entry& e = entries_[*it];
        path.append(names_.data() + e.nameOffset, e.nameLength);
    }
    return path;
}

std::uint64_t PathIndexImpl::TotalSize(std::uint64_t frn) const {
    const Entry* e = Find(frn);
    return e == nullptr ? 0 : e->size;
}

void PathIndexImpl::ForEach(const IndexEntryCallback& fn) const {
    for (std::uint32_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].used && !fn(MakeEntry(i))) {
            return;
        }
    }
}

void PathIndexImpl::ForEachChild(std::uint64_t folderFrn, const IndexEntryCallback& fn) const {
    const Entry* folder = Find(folderFrn);
    if (folder == nullptr || !IsFolder(*folder)) {
        return;
    }
    const auto parent = static_cast<std::uint32_t>(folderFrn & kRecordNumberMask);
    auto it = std::lower_bound(
        children_.begin(), children_.end(), parent,
        [this](std::uint32_t child, std::uint32_t p) { return entries_[child].parentIndex < p; });
    for (; it != children_.end() && entries_[*it].parentIndex == parent; ++it) {
        if (!fn(MakeEntry(*it))) {
            return;
        }
    }
}

std::uint64_t PathIndexImpl::MemoryBytes() const noexcept {
    return entries_.capacity() * sizeof(Entry) + names_.capacity() * sizeof(wchar_t) +
           children_.capacity() * sizeof(std::uint32_t);
}

std::unique_ptr<PathIndexImpl> BuildPathIndex(BlockDevice& device, const VolumeGeometry& geometry,
                                              wchar_t driveLetter, CancelToken& cancel,
                                              const ProgressCallback& progress, MftStatus* status) {
    MftStatus result = MftStatus::BadFormat;
    std::unique_ptr<PathIndexImpl> index;
    try {
        index = std::make_unique<PathIndexImpl>(driveLetter);
        PathIndexImpl* target = index.get();
        result = ReadMft(
            device, geometry, [target](const MftRecordView& v) { return target->AddRecord(v); },
            cancel, progress);
        if (result == MftStatus::Ok && cancel.IsCancelled()) {
            result = MftStatus::Cancelled;
        }
        if (result == MftStatus::Ok) {
            index->Finish();
        }
    } catch (const std::bad_alloc&) {
        result = MftStatus::IoError;
    } catch (...) {
        result = MftStatus::BadFormat;
    }
    if (status != nullptr) {
        *status = result;
    }
    if (result != MftStatus::Ok) {
        index.reset();
    }
    return index;
}

}  // namespace purvex::core::ntfs

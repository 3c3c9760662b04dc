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

void PathIndexImpl::Reserve(std::uint64_t records) {
    // The table's records are all indexed, so the entries are laid out once at their final
    // size; records past the last one in use stay as unused entries.
    if (entries_.empty()) {
        entries_.resize(static_cast<std::size_t>(std::min(records, kMaxIndex)));
    }
}

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
    std::vector<std::uint32_t> groupEnd = BuildChildren();
    BuildTotals(groupEnd);
}

// Groups the children by parent in record order; returns, for every parent, where its group
// ends in `children_` (it begins where the previous parent's ends).
std::vector<std::uint32_t> PathIndexImpl::BuildChildren() {
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
    start.pop_back();
    return start;
}

// Adds every file's size to each folder above it, walking down from the entries without a
// usable parent. Entries on a parent cycle, or hanging below one, are reached from no such
// entry and so count in no total: they belong to no folder that leads to the root.
namespace {

// Sizes from a damaged table may be anything; a total saturates rather than wraps.
template <typename E>
void AddSize(E& folder, std::uint64_t size) {
    const std::uint64_t total = folder.size;
    folder.size = size > UINT64_MAX - total ? UINT64_MAX : total + size;
}

}  // namespace

void PathIndexImpl::BuildTotals(const std::vector<std::uint32_t>& groupEnd) {
    auto groupBegin = [&](std::uint32_t folder) { return folder == 0 ? 0 : groupEnd[folder - 1]; };
    struct Frame {
        std::uint32_t folder;
        std::uint32_t next;  // position in children_ of the next child to visit
    };
    std::vector<Frame> stack;
    for (std::uint32_t top = 0; top < entries_.size(); ++top) {
        if (!entries_[top].used || HasUsableParent(top) || !IsFolder(entries_[top])) {
            continue;
        }
        stack.push_back({top, groupBegin(top)});
        while (!stack.empty()) {
            Frame& f = stack.back();
            if (f.next < groupEnd[f.folder]) {
                const std::uint32_t child = children_[f.next++];
                if (IsFolder(entries_[child])) {
                    stack.push_back({child, groupBegin(child)});
                } else {
                    AddSize(entries_[f.folder], entries_[child].size);
                }
                continue;
            }
            const std::uint32_t done = f.folder;
            stack.pop_back();
            if (stack.empty()) {
                continue;
            }
            AddSize(entries_[stack.back().folder], entries_[done].size);
        }
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
            device, geometry, [target](std::uint64_t records) { target->Reserve(records); },
            [target](const MftRecordView& v) { return target->AddRecord(v); }, cancel, progress);
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

#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "core/cancel_token.h"

namespace purvex::core {

// One entry of a folder listing, as the enumeration saw it.
struct FileEntry {
    std::wstring path;                // parent path joined with the entry's name
    std::uint64_t size = 0;           // 0 for folders
    std::uint64_t fileId = 0;         // not provided by the listing; open the file to learn it
    std::uint64_t lastWriteTime = 0;  // FILETIME as 64 bits
    std::uint32_t attributes = 0;
};

struct WalkOptions {
    bool recursive = true;
    // Spreads folders over the task runner's workers; the callbacks then run on several
    // threads at once and must synchronise their own state.
    bool parallel = false;
    // Also report ordinary folders; folders that are reparse points are always reported.
    bool reportDirectories = false;
    // Deepest folder level whose contents are listed, the root being 0.
    std::uint32_t maxDepth = 0xFFFFFFFF;
};

struct WalkStats {
    std::uint64_t files = 0;   // non-folder entries reported
    std::uint64_t dirs = 0;    // folder entries seen, reparse points included, root excluded
    std::uint64_t bytes = 0;   // sum of the reported files' sizes
    std::uint64_t errors = 0;  // folders that could not be listed, listings cut short
};

// Returning false stops the whole walk.
using WalkEntryCallback = std::function<bool(const FileEntry&)>;
// Asked before a subfolder is queued; returning false skips its subtree.
using WalkEnterDirCallback = std::function<bool(const std::wstring&)>;

// The root as every path the walk reports begins: the "\\?\" form taken literally without
// its prefix, any other form made absolute, trailing separators dropped. Empty when unusable.
std::wstring WalkRootPath(const std::wstring& root);

// Lists the tree under root without ever entering a reparse point, stopping early on cancel,
// on a callback's request or when a callback throws (logged, counts so far returned).
// Each subfolder is opened without following links before it is listed, so a folder swapped
// for a link after it was seen is not entered either. A root given in the "\\?\" form is
// taken literally; any other root is made absolute first.
WalkStats Walk(const std::wstring& root, const WalkOptions& options,
               const WalkEntryCallback& onEntry, const CancelToken& cancel,
               const WalkEnterDirCallback& enterDir = {});

}  // namespace purvex::core

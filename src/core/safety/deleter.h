#pragma once

#include <string>
#include <vector>

#include "core/cancel_token.h"
#include "core/delete_types.h"
#include "core/progress.h"

namespace purvex::core {

// The only code that removes files. Every item is checked by the safety policy, re-opened
// without following links, proved unchanged since the scan and deleted through its own
// handle (or recycled); every request gets exactly one outcome and one clean-log line.
class Deleter {
public:
    static DeleteReport Delete(const std::vector<DeleteRequest>& requests,
                               const DeleteOptions& options, const ProgressCallback& progress,
                               CancelToken& cancel);

    // Deletes a folder tree below one of allowedRoots: one report item per file, per folder
    // and for the top.
    static DeleteReport DeleteTree(const std::wstring& top,
                                   const std::vector<std::wstring>& allowedRoots,
                                   const DeleteOptions& options, CancelToken& cancel,
                                   const ProgressCallback& progress);
};

}  // namespace purvex::core

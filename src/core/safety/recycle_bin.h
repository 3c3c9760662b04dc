#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "core/cancel_token.h"
#include "core/delete_types.h"
#include "core/safety/delete_session.h"

namespace purvex::core::safety_detail {

// Receives the outcome of one queued entry by its session index.
using RecycleReport = std::function<void(std::uint64_t index, DeleteOutcome, std::uint32_t)>;

// Hands the entries to the shell's file operation on this thread's single-threaded apartment.
// The shell deletes nothing that the progress sink did not vet as the very file queued; every
// entry is reported exactly once.
void RecycleOnCurrentThread(const std::vector<RecycleEntry>& entries, CancelToken& cancel,
                            const RecycleReport& report);

// The shell's HRESULT for one item as an outcome.
DeleteOutcome MapShellResult(long hr);
// The Win32 code for facility-Win32 results, else the HRESULT itself.
std::uint32_t ShellErrorCode(long hr);

}  // namespace purvex::core::safety_detail

namespace purvex::core {

// Empties the Recycle Bin of all drives; bytesFreed is what the shell reported it held.
bool EmptyRecycleBin(std::uint64_t* bytesFreed);

}  // namespace purvex::core

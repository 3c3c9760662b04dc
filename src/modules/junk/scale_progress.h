#pragma once

#include "core/progress.h"

namespace purvex::junk {

// Maps the fractions of one stage of a longer run onto its share [from, to] of the whole;
// indeterminate reports stay indeterminate. Empty when `inner` is empty.
core::ProgressCallback ScaleProgress(core::ProgressCallback inner, double from, double to);

}  // namespace purvex::junk

#include "modules/junk/scale_progress.h"

#include <utility>

namespace purvex::junk {

core::ProgressCallback ScaleProgress(core::ProgressCallback inner, double from, double to) {
    if (!inner) {
        return {};
    }
    return [inner = std::move(inner), from, to](const core::Progress& p) {
        core::Progress scaled = p;
        scaled.fraction = p.fraction < 0 ? -1.0 : from + p.fraction * (to - from);
        inner(scaled);
    };
}

}  // namespace purvex::junk

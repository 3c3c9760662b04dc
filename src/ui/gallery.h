#pragma once

#include "app/launch_options.h"

namespace purvex::ui {

// The developer gallery of every control; returns the process exit code.
int RunGallery(const app::LaunchOptions& options, int showCommand);

}  // namespace purvex::ui

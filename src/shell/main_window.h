#pragma once

#include "app/launch_options.h"

namespace purvex::shell {

// Runs the main window until the user ends the program, or renders one screenshot of it.
// Returns the process exit code.
int RunMainWindow(const app::LaunchOptions& options, int showCommand);

}  // namespace purvex::shell

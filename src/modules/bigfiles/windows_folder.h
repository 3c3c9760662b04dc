#pragma once

#include <string>

namespace purvex::bigfiles {

// The system's Windows folder as the classification compares against it, read once per
// process: "C:\Windows" when the system cannot say, never with a trailing separator beyond a
// drive root.
const std::wstring& SystemWindowsFolder();

}  // namespace purvex::bigfiles

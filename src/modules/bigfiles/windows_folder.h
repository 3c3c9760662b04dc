#pragma once

#include <string>

namespace purvex::bigfiles {

// The system's Windows folder as the classification compares against it, read once per
// process: "C:\Windows" when the system cannot say, never with a trailing separator beyond a
// drive root.
const std::wstring& SystemWindowsFolder();

// Trailing "\" or "/" removed while the text is longer than a drive root.
std::wstring TrimTrailingSeparators(std::wstring folder);

}  // namespace purvex::bigfiles

#pragma once

#include <span>
#include <string>

namespace purvex::core::safety_detail {

// The fixed rule tables, written as placeholder templates.

// Exactly these folders may never be deleted.
std::span<const std::wstring> ProtectedLocationTemplates();
// These areas and everything in them are off limits, except allowed junk inside them.
std::span<const std::wstring> CriticalAreaTemplates();
// What lies inside these folders (never the folder itself) may be deleted.
std::span<const std::wstring> AllowedJunkTemplates();
std::span<const std::wstring> CrashDumpTemplates();
// Below these, browser data names are ordinary leftovers of an old Windows.
std::span<const std::wstring> PreviousInstallationTemplates();
// Folder and file names of a browser's private data, protected wherever they appear.
std::span<const std::wstring> BrowserDataNames();

}  // namespace purvex::core::safety_detail

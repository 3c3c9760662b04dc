#pragma once

#include <string>
#include <string_view>

namespace purvex::app {

// Opens a file or folder with its default handler. False for an empty or missing path.
bool OpenPath(const std::wstring& path);

// Opens the item's folder in Explorer with the item selected; falls back to opening the
// folder. False when the path does not exist.
bool RevealInExplorer(const std::wstring& path);

// Only "https://" and "mailto:" links of at most 2048 characters without controls, spaces,
// quotes or angle brackets: anything that could be read as a command line is refused.
bool IsOpenableUrl(std::wstring_view url);

// Opens a link through the desktop's shell, so that the browser runs as the signed-in user
// and not with the program's elevated rights. False without a call for a refused link.
bool OpenUrlAsUser(const std::wstring& url);

}  // namespace purvex::app

#pragma once

#include <string>
#include <vector>

namespace purvex::app {

// What the command line asks of this one run; read-only once parsed.
struct LaunchOptions {
    bool gallery = false;
    std::string page;  // ASCII; anything else became '?'
    std::wstring lang;
    std::wstring theme;
    std::wstring screenshot;
    float scale = 1.0f;
};

// args[0] is the program itself and is skipped.
LaunchOptions ParseLaunchOptions(const std::vector<std::wstring>& args);

// Splits the process's command line the way the shell does; defaults when it cannot.
LaunchOptions ParseProcessCommandLine();

// The leading part of text as a C-locale number; values of 0.1 or less become 1.0.
float ParseScale(const std::wstring& text);

}  // namespace purvex::app

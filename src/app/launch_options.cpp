#include "app/launch_options.h"

#include <windows.h>

#include <shellapi.h>

#include <cwchar>
#include <string_view>

#include "core/unique_handle.h"

namespace purvex::app {
namespace {

std::string AsciiOnly(const std::wstring& value) {
    std::string out;
    out.reserve(value.size());
    for (wchar_t c : value) {
        out.push_back(c < 0x80 ? static_cast<char>(c) : '?');
    }
    return out;
}

bool IsDigit(wchar_t c) {
    return c >= L'0' && c <= L'9';
}

// A C-locale decimal prefix: sign, digits, optional fraction, optional exponent. Parsed by
// hand because wcstod follows the thread's locale, and a German locale would misread "1.5".
double LeadingNumber(std::wstring_view s) {
    std::size_t i = 0;
    while (i < s.size() && (s[i] == L' ' || s[i] == L'\t')) {
        ++i;
    }
    bool negative = false;
    if (i < s.size() && (s[i] == L'+' || s[i] == L'-')) {
        negative = s[i] == L'-';
        ++i;
    }
    double value = 0.0;
    bool any = false;
    for (; i < s.size() && IsDigit(s[i]); ++i) {
        value = value * 10.0 + (s[i] - L'0');
        any = true;
    }
    if (i < s.size() && s[i] == L'.') {
        double scale = 0.1;
        for (++i; i < s.size() && IsDigit(s[i]); ++i) {
            value += (s[i] - L'0') * scale;
            scale /= 10.0;
            any = true;
        }
    }
    if (!any) {
        return 0.0;
    }
    if (i < s.size() && (s[i] == L'e' || s[i] == L'E')) {
        std::size_t j = i + 1;
        bool negExp = false;
        if (j < s.size() && (s[j] == L'+' || s[j] == L'-')) {
            negExp = s[j] == L'-';
            ++j;
        }
        if (j < s.size() && IsDigit(s[j])) {
            int exponent = 0;
            for (; j < s.size() && IsDigit(s[j]); ++j) {
                if (exponent < 400) {
                    exponent = exponent * 10 + (s[j] - L'0');
                }
            }
            for (int k = 0; k < exponent; ++k) {
                value = negExp ? value / 10.0 : value * 10.0;
            }
        }
    }
    return negative ? -value : value;
}

}  // namespace

float ParseScale(const std::wstring& text) {
    const double value = LeadingNumber(text);
    if (!(value > 0.1)) {
        return 1.0f;
    }
    // Beyond a float's range the screenshot simply cannot be made and reports that.
    return value > 3.0e38 ? 3.0e38f : static_cast<float>(value);
}

LaunchOptions ParseLaunchOptions(const std::vector<std::wstring>& args) {
    LaunchOptions options;
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::wstring& arg = args[i];
        if (arg == L"--gallery") {
            options.gallery = true;
            continue;
        }
        const bool takesValue = arg == L"--page" || arg == L"--lang" || arg == L"--theme" ||
                                arg == L"--screenshot" || arg == L"--scale";
        if (!takesValue || i + 1 >= args.size()) {
            continue;
        }
        const std::wstring& value = args[++i];
        if (arg == L"--page") {
            options.page = AsciiOnly(value);
        } else if (arg == L"--lang") {
            options.lang = value;
        } else if (arg == L"--theme") {
            options.theme = value;
        } else if (arg == L"--screenshot") {
            options.screenshot = value;
        } else {
            options.scale = ParseScale(value);
        }
    }
    return options;
}

LaunchOptions ParseProcessCommandLine() {
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
    if (argv == nullptr) {
        return {};
    }
    core::UniqueLocal owner(reinterpret_cast<HLOCAL>(argv));
    std::vector<std::wstring> args;
    args.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        args.emplace_back(argv[i]);
    }
    return ParseLaunchOptions(args);
}

}  // namespace purvex::app

#include "core/text.h"

#include <windows.h>

#include <climits>

namespace purvex::core {

std::wstring Utf8ToWide(std::string_view utf8) {
    if (utf8.empty() || utf8.size() > INT_MAX) {
        return {};
    }
    const int n = static_cast<int>(utf8.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), n, nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::wstring out(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), n, out.data(), length);
    return out;
}

std::string WideToUtf8(std::wstring_view wide) {
    if (wide.empty() || wide.size() > INT_MAX) {
        return {};
    }
    const int n = static_cast<int>(wide.size());
    const int length =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        return {};
    }
    std::string out(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), n, out.data(), length, nullptr, nullptr);
    return out;
}

bool IsValidUtf8(std::string_view bytes) {
    if (bytes.empty()) {
        return true;
    }
    if (bytes.size() > INT_MAX) {
        return false;
    }
    return MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, bytes.data(),
                               static_cast<int>(bytes.size()), nullptr, 0) > 0;
}

std::wstring ExpandEnvironment(std::wstring_view text) {
    if (text.find(L'%') == std::wstring_view::npos) {
        return std::wstring(text);
    }
    const std::wstring source(text);
    // The needed size can grow between the two calls when another thread changes the
    // environment, so retry a few times with the size the last call asked for.
    DWORD needed = ExpandEnvironmentStringsW(source.c_str(), nullptr, 0);
    for (int attempt = 0; attempt < 3 && needed > 0; ++attempt) {
        std::wstring out(needed, L'\0');
        const DWORD written = ExpandEnvironmentStringsW(source.c_str(), out.data(), needed);
        if (written == 0) {
            break;
        }
        if (written <= needed) {
            out.resize(written - 1);
            return out;
        }
        needed = written;
    }
    return source;
}

}  // namespace purvex::core

#include "app/language_resource.h"

#include <windows.h>

namespace purvex::app {
namespace {

// The tables are linked into whichever executable holds this code, the program or a test.
HMODULE OwnModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
        reinterpret_cast<LPCWSTR>(&OwnModule), &module);
    return module;
}

}  // namespace

std::optional<std::string_view> LanguageResourceBytes(std::uint16_t resourceId) {
    const HMODULE module = OwnModule();
    if (module == nullptr) {
        return std::nullopt;
    }
    const HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(resourceId), RT_RCDATA);
    if (info == nullptr) {
        return std::nullopt;
    }
    const HGLOBAL handle = LoadResource(module, info);
    const void* data = handle != nullptr ? LockResource(handle) : nullptr;
    if (data == nullptr) {
        return std::nullopt;
    }
    return std::string_view(static_cast<const char*>(data), SizeofResource(module, info));
}

}  // namespace purvex::app

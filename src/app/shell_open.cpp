#include "app/shell_open.h"

#include <windows.h>

#include <exdisp.h>
#include <oleauto.h>
#include <servprov.h>
#include <shellapi.h>
#include <shldisp.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "core/com_ptr.h"
#include "core/fs/path_text.h"

namespace purvex::app {
namespace {

bool StartsWithIgnoreCase(std::wstring_view text, std::wstring_view prefix) {
    return text.size() >= prefix.size() &&
           CompareStringOrdinal(text.data(), static_cast<int>(prefix.size()), prefix.data(),
                                static_cast<int>(prefix.size()), TRUE) == CSTR_EQUAL;
}

bool Exists(const std::wstring& path) {
    return !path.empty() &&
           GetFileAttributesW(core::ToLongPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Frees the BSTRs of a VARIANT on every path out.
class ScopedVariant {
public:
    ScopedVariant() noexcept { VariantInit(&value_); }
    explicit ScopedVariant(const std::wstring& text) noexcept : ScopedVariant() {
        value_.vt = VT_BSTR;
        value_.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    ~ScopedVariant() { VariantClear(&value_); }
    VARIANT& Get() noexcept { return value_; }
    [[nodiscard]] bool Ok() const noexcept { return value_.vt != VT_BSTR || value_.bstrVal; }

private:
    VARIANT value_;
};

// The desktop's shell dispatch object: a ShellExecute through it runs in Explorer's process,
// with the signed-in user's rights instead of ours.
core::ComPtr<IShellDispatch2> DesktopShellDispatch() {
    core::ComPtr<IShellWindows> windows;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_LOCAL_SERVER,
                                IID_PPV_ARGS(windows.Put())))) {
        return {};
    }
    ScopedVariant location;
    location.Get().vt = VT_I4;
    location.Get().lVal = CSIDL_DESKTOP;
    ScopedVariant empty;
    long desktopWindow = 0;
    core::ComPtr<IDispatch> dispatch;
    if (windows->FindWindowSW(&location.Get(), &empty.Get(), SWC_DESKTOP, &desktopWindow,
                              SWFO_NEEDDISPATCH, dispatch.Put()) != S_OK ||
        !dispatch) {
        return {};
    }
    const auto provider = dispatch.As<IServiceProvider>();
    core::ComPtr<IShellBrowser> browser;
    if (!provider ||
        FAILED(provider->QueryService(SID_STopLevelBrowser, IID_PPV_ARGS(browser.Put())))) {
        return {};
    }
    core::ComPtr<IShellView> view;
    if (FAILED(browser->QueryActiveShellView(view.Put())) || !view) {
        return {};
    }
    core::ComPtr<IDispatch> background;
    if (FAILED(view->GetItemObject(SVGIO_BACKGROUND, IID_PPV_ARGS(background.Put())))) {
        return {};
    }
    const auto folderView = background.As<IShellFolderViewDual>();
    core::ComPtr<IDispatch> application;
    if (!folderView || FAILED(folderView->get_Application(application.Put())) || !application) {
        return {};
    }
    return application.As<IShellDispatch2>();
}

}  // namespace

bool OpenPath(const std::wstring& path) {
    if (!Exists(path)) {
        return false;
    }
    SHELLEXECUTEINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = L"open";
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&info) != FALSE;
}

bool RevealInExplorer(const std::wstring& path) {
    if (!Exists(path)) {
        return false;
    }
    core::CoTaskMem<ITEMIDLIST> item;
    if (SUCCEEDED(SHParseDisplayName(path.c_str(), nullptr, item.Put(), 0, nullptr)) &&
        item.Get() != nullptr && SUCCEEDED(SHOpenFolderAndSelectItems(item.Get(), 0, nullptr, 0))) {
        return true;
    }
    return OpenPath(core::ParentPath(path));
}

bool IsOpenableUrl(std::wstring_view url) {
    if (url.size() > 2048 ||
        !(StartsWithIgnoreCase(url, L"https://") || StartsWithIgnoreCase(url, L"mailto:"))) {
        return false;
    }
    for (const wchar_t c : url) {
        if (c < 0x20 || c == 0x7F || c == L' ' || c == L'"' || c == L'<' || c == L'>') {
            return false;
        }
    }
    return true;
}

bool OpenUrlAsUser(const std::wstring& url) {
    if (!IsOpenableUrl(url)) {
        return false;
    }
    const core::ComPtr<IShellDispatch2> shell = DesktopShellDispatch();
    if (!shell) {
        return false;
    }
    ScopedVariant arguments;
    ScopedVariant directory;
    ScopedVariant operation(L"open");
    ScopedVariant show;
    show.Get().vt = VT_I4;
    show.Get().lVal = SW_SHOWNORMAL;
    ScopedVariant file(url);
    if (!file.Ok() || !operation.Ok()) {
        return false;
    }
    return SUCCEEDED(shell->ShellExecute(file.Get().bstrVal, arguments.Get(), directory.Get(),
                                         operation.Get(), show.Get()));
}

}  // namespace purvex::app

#include "core/safety/recycle_bin.h"

#include <windows.h>

#include <objbase.h>
#include <shellapi.h>
#include <shobjidl.h>

#include <atomic>
#include <memory>
#include <thread>
#include <unordered_map>
#include <utility>

#include "core/com_ptr.h"
#include "core/fs/final_path.h"
#include "core/fs/path_text.h"
#include "core/fs/paths.h"
#include "core/log.h"

namespace purvex::core::safety_detail {
namespace {

constexpr HRESULT kSkipItem = static_cast<HRESULT>(0x8007112B);  // HRESULT_FROM_WIN32(4395)
constexpr DWORD kOperationFlags = 0x80654;  // silent, no UI, allow undo, recycle on delete

// Reports each entry at most once per flush, whatever the shell calls back.
class OnceReporter {
public:
    OnceReporter(const std::vector<RecycleEntry>& entries, const RecycleReport& report)
        : entries_(entries), report_(report), reported_((entries.size() + 31) / 32, 0) {}

    void Report(std::size_t position, DeleteOutcome outcome, std::uint32_t error) {
        std::uint32_t& word = reported_[position / 32];
        const std::uint32_t bit = 1u << (position % 32);
        if (word & bit) {
            return;
        }
        word |= bit;
        report_(entries_[position].index, outcome, error);
    }
    [[nodiscard]] bool Reported(std::size_t position) const {
        return (reported_[position / 32] & (1u << (position % 32))) != 0;
    }

private:
    const std::vector<RecycleEntry>& entries_;
    const RecycleReport& report_;
    std::vector<std::uint32_t> reported_;
};

std::wstring ItemPath(IShellItem* item) {
    if (item == nullptr) {
        return {};
    }
    CoTaskMem<wchar_t> name;
    if (FAILED(item->GetDisplayName(SIGDN_FILESYSPATH, name.Put())) || name.Get() == nullptr) {
        return {};
    }
    return name.Get();
}

// COM interfaces have no virtual destructor by design; the object deletes itself in Release.
#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
#endif

// Vets every item the shell is about to delete: only the exact files queued, unchanged.
class DeleteSink final : public IFileOperationProgressSink {
public:
    DeleteSink(const std::vector<RecycleEntry>& entries, CancelToken& cancel,
               OnceReporter& reporter)
        : entries_(entries), cancel_(cancel), reporter_(reporter) {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (!entries[i].path.empty()) {
                positions_.emplace(FoldCase(entries[i].path), i);
            }
        }
    }
    DeleteSink(const DeleteSink&) = delete;
    DeleteSink& operator=(const DeleteSink&) = delete;
    virtual ~DeleteSink() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IFileOperationProgressSink)) {
            *out = static_cast<IFileOperationProgressSink*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references_;
        if (left == 0) {
            delete this;
        }
        return left;
    }

    HRESULT STDMETHODCALLTYPE StartOperations() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE FinishOperations(HRESULT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PreRenameItem(DWORD, IShellItem*, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostRenameItem(DWORD, IShellItem*, LPCWSTR, HRESULT,
                                             IShellItem*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PreMoveItem(DWORD, IShellItem*, IShellItem*, LPCWSTR) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PostMoveItem(DWORD, IShellItem*, IShellItem*, LPCWSTR, HRESULT,
                                           IShellItem*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PreCopyItem(DWORD, IShellItem*, IShellItem*, LPCWSTR) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE PostCopyItem(DWORD, IShellItem*, IShellItem*, LPCWSTR, HRESULT,
                                           IShellItem*) override {
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE PreDeleteItem(DWORD, IShellItem* item) override {
        if (cancel_.IsCancelled()) {
            return HRESULT_FROM_WIN32(ERROR_CANCELLED);
        }
        const std::wstring path = ItemPath(item);
        if (path.empty()) {
            return kSkipItem;
        }
        const auto found = positions_.find(FoldCase(path));
        if (found == positions_.end()) {
            return kSkipItem;  // the shell may delete only what was queued
        }
        const RecycleEntry& entry = entries_[found->second];
        UniqueFile file = OpenItem(entry.path, SYNCHRONIZE | FILE_READ_ATTRIBUTES, false);
        FileIdentity now;
        if (file && ReadIdentity(file.Get(), now) && now.SameItem(entry.identity) &&
            !now.IsReparsePoint() && EqualsIgnoreCase(FinalPathOfHandle(file.Get()), entry.path)) {
            return S_OK;
        }
        reporter_.Report(found->second, DeleteOutcome::Blocked, 4395);
        return kSkipItem;
    }

    HRESULT STDMETHODCALLTYPE PostDeleteItem(DWORD, IShellItem* item, HRESULT hrDelete,
                                             IShellItem* newItem) override {
        const std::wstring path = ItemPath(item);
        const auto found = path.empty() ? positions_.end() : positions_.find(FoldCase(path));
        if (found == positions_.end()) {
            return S_OK;
        }
        if (SUCCEEDED(hrDelete)) {
            // Items too large for the Recycle Bin are deleted outright, without a new item.
            reporter_.Report(found->second,
                             newItem != nullptr ? DeleteOutcome::Recycled : DeleteOutcome::Deleted,
                             0);
        } else {
            reporter_.Report(found->second, MapShellResult(hrDelete), ShellErrorCode(hrDelete));
        }
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE PreNewItem(DWORD, IShellItem*, LPCWSTR) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PostNewItem(DWORD, IShellItem*, LPCWSTR, LPCWSTR, DWORD, HRESULT,
                                          IShellItem*) override {
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE UpdateProgress(UINT, UINT) override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResetTimer() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE PauseTimer() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ResumeTimer() override { return S_OK; }

private:
    std::atomic<ULONG> references_{1};
    const std::vector<RecycleEntry>& entries_;
    CancelToken& cancel_;
    OnceReporter& reporter_;
    std::unordered_map<std::wstring, std::size_t> positions_;
};

#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

// Releases the sink's first reference when the flush ends, whatever the shell did with it.
struct SinkRelease {
    void operator()(DeleteSink* sink) const { sink->Release(); }
};

}  // namespace

std::uint32_t ShellErrorCode(long hr) {
    if (HRESULT_FACILITY(hr) == FACILITY_WIN32) {
        return static_cast<std::uint32_t>(HRESULT_CODE(hr));
    }
    return static_cast<std::uint32_t>(hr);
}

DeleteOutcome MapShellResult(long hr) {
    if (HRESULT_FACILITY(hr) == FACILITY_WIN32) {
        switch (HRESULT_CODE(hr)) {
            case ERROR_SHARING_VIOLATION:
            case ERROR_LOCK_VIOLATION:
                return DeleteOutcome::InUse;
            case ERROR_ACCESS_DENIED:
                return DeleteOutcome::AccessDenied;
            case ERROR_FILE_NOT_FOUND:
            case ERROR_PATH_NOT_FOUND:
                return DeleteOutcome::NotFound;
            case ERROR_CANCELLED:
                return DeleteOutcome::Cancelled;
            default:
                return DeleteOutcome::Failed;
        }
    }
    switch (static_cast<std::uint32_t>(hr)) {
        case 0x80270027u:
            return DeleteOutcome::InUse;
        case 0x80270021u:
            return DeleteOutcome::AccessDenied;
        case 0x80270000u:
        case 0x80004004u:
            return DeleteOutcome::Cancelled;
        default:
            return DeleteOutcome::Failed;
    }
}

void RecycleOnCurrentThread(const std::vector<RecycleEntry>& entries, CancelToken& cancel,
                            const RecycleReport& report) {
    OnceReporter reporter(entries, report);
    ComPtr<IFileOperation> operation;
    HRESULT hr = CoCreateInstance(CLSID_FileOperation, nullptr, CLSCTX_ALL, IID_IFileOperation,
                                  operation.PutVoid());
    if (SUCCEEDED(hr)) {
        hr = operation->SetOperationFlags(kOperationFlags);
    }
    if (FAILED(hr)) {
        // Never fall back to a deletion path that skips the per-item vetting.
        for (std::size_t i = 0; i < entries.size(); ++i) {
            reporter.Report(i, DeleteOutcome::Failed, static_cast<std::uint32_t>(hr));
        }
        return;
    }
    std::unique_ptr<DeleteSink, SinkRelease> sink(new DeleteSink(entries, cancel, reporter));
    DWORD cookie = 0;
    const bool advised = SUCCEEDED(operation->Advise(sink.get(), &cookie));

    std::size_t queued = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (cancel.IsCancelled()) {
            reporter.Report(i, DeleteOutcome::Cancelled, 0);
            continue;
        }
        ComPtr<IShellItem> item;
        hr = SHCreateItemFromParsingName(entries[i].path.c_str(), nullptr, IID_IShellItem,
                                         item.PutVoid());
        if (SUCCEEDED(hr)) {
            hr = operation->DeleteItem(item.Get(), nullptr);
        }
        if (SUCCEEDED(hr)) {
            ++queued;
            continue;
        }
        const DeleteOutcome mapped = MapShellResult(hr);
        reporter.Report(i, mapped == DeleteOutcome::NotFound ? mapped : DeleteOutcome::Failed,
                        ShellErrorCode(hr));
    }
    HRESULT performed = S_OK;
    if (queued > 0) {
        performed = operation->PerformOperations();
    }
    if (advised) {
        operation->Unadvise(cookie);
    }
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (reporter.Reported(i)) {
            continue;
        }
        const DWORD attributes = GetFileAttributesW(ToLongPath(entries[i].path).c_str());
        const DWORD error = attributes == INVALID_FILE_ATTRIBUTES ? GetLastError() : 0;
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            reporter.Report(i, DeleteOutcome::Recycled, 0);
        } else if (cancel.IsCancelled()) {
            reporter.Report(i, DeleteOutcome::Cancelled, 0);
        } else {
            reporter.Report(i, DeleteOutcome::Failed,
                            static_cast<std::uint32_t>(FAILED(performed) ? performed : E_FAIL));
        }
    }
}

void DeleteSession::FlushRecycle() {
    if (recycleBatch_.empty()) {
        return;
    }
    std::vector<RecycleEntry> batch = std::move(recycleBatch_);
    recycleBatch_.clear();
    recycleKeys_.clear();
    const RecycleReport report = [this](std::uint64_t index, DeleteOutcome outcome,
                                        std::uint32_t error) {
        const auto i = static_cast<std::size_t>(index);
        const bool freed = FreesBytes(outcome);
        Record(i, outcome, error, freed && i < entries_.size() ? entries_[i].size : 0);
    };
    try {
        const HRESULT init =
            CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        if (init != RPC_E_CHANGED_MODE) {
            RecycleOnCurrentThread(batch, cancel_, report);
            if (SUCCEEDED(init)) {
                CoUninitialize();
            }
            return;
        }
        // This worker lives in a multithreaded apartment; the file operation needs a
        // single-threaded one, so the batch runs on a short-lived thread of its own.
        std::thread helper([&] {
            try {
                const HRESULT inner =
                    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
                RecycleOnCurrentThread(batch, cancel_, report);
                if (SUCCEEDED(inner)) {
                    CoUninitialize();
                }
            } catch (...) {
            }
        });
        helper.join();
    } catch (...) {
    }
}

}  // namespace purvex::core::safety_detail

namespace purvex::core {

bool EmptyRecycleBin(std::uint64_t* bytesFreed) {
    try {
        if (bytesFreed != nullptr) {
            *bytesFreed = 0;
        }
        SHQUERYRBINFO info{};
        info.cbSize = sizeof(info);
        const HRESULT query = SHQueryRecycleBinW(nullptr, &info);
        if (SUCCEEDED(query) && info.i64NumItems == 0) {
            return true;
        }
        const std::uint64_t size = SUCCEEDED(query) ? static_cast<std::uint64_t>(info.i64Size) : 0;
        const HRESULT emptied = SHEmptyRecycleBinW(
            nullptr, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND);
        const std::wstring logPath = L"<all drives>\\$Recycle.Bin";
        if (SUCCEEDED(emptied)) {
            if (bytesFreed != nullptr) {
                *bytesFreed = size;
            }
            CleanLogWrite(logPath, size, DeleteOutcome::Deleted, 0);
            return true;
        }
        CleanLogWrite(logPath, size, DeleteOutcome::Failed, static_cast<std::uint32_t>(emptied));
        return false;
    } catch (...) {
        return false;
    }
}

}  // namespace purvex::core

#pragma once

#include <windows.h>

#include <utility>

namespace purvex::core {

// Owns one Windows handle-like value and releases it with its closer exactly once.
template <typename T, auto Invalid, auto Close>
class UniqueResource {
public:
    UniqueResource() noexcept = default;
    explicit UniqueResource(T value) noexcept : value_(value) {}
    UniqueResource(const UniqueResource&) = delete;
    UniqueResource& operator=(const UniqueResource&) = delete;
    UniqueResource(UniqueResource&& other) noexcept : value_(other.Release()) {}
    UniqueResource& operator=(UniqueResource&& other) noexcept {
        if (this != &other) {
            Reset(other.Release());
        }
        return *this;
    }
    ~UniqueResource() { Reset(); }

    [[nodiscard]] T Get() const noexcept { return value_; }
    [[nodiscard]] bool Valid() const noexcept { return value_ != Invalid(); }
    explicit operator bool() const noexcept { return Valid(); }

    T Release() noexcept { return std::exchange(value_, Invalid()); }
    void Reset(T value = Invalid()) noexcept {
        T old = std::exchange(value_, value);
        if (old != Invalid()) {
            Close(old);
        }
    }
    // For APIs that fill a handle through an out-parameter.
    T* Put() noexcept {
        Reset();
        return &value_;
    }

private:
    T value_ = Invalid();
};

namespace handle_detail {
inline HANDLE InvalidFile() noexcept {
    return INVALID_HANDLE_VALUE;
}
inline HANDLE NullHandle() noexcept {
    return nullptr;
}
inline void CloseHandleChecked(HANDLE h) noexcept {
    ::CloseHandle(h);
}
inline HANDLE InvalidFind() noexcept {
    return INVALID_HANDLE_VALUE;
}
inline void CloseFind(HANDLE h) noexcept {
    ::FindClose(h);
}
inline HKEY NullKey() noexcept {
    return nullptr;
}
inline void CloseKey(HKEY k) noexcept {
    ::RegCloseKey(k);
}
inline HLOCAL NullLocal() noexcept {
    return nullptr;
}
inline void FreeLocal(HLOCAL p) noexcept {
    ::LocalFree(p);
}
}  // namespace handle_detail

// CreateFileW and friends report failure as INVALID_HANDLE_VALUE.
using UniqueFile =
    UniqueResource<HANDLE, &handle_detail::InvalidFile, &handle_detail::CloseHandleChecked>;
// Mutexes, events, processes, threads and tokens report failure as null.
using UniqueHandle =
    UniqueResource<HANDLE, &handle_detail::NullHandle, &handle_detail::CloseHandleChecked>;
using UniqueFind = UniqueResource<HANDLE, &handle_detail::InvalidFind, &handle_detail::CloseFind>;
using UniqueKey = UniqueResource<HKEY, &handle_detail::NullKey, &handle_detail::CloseKey>;
using UniqueLocal = UniqueResource<HLOCAL, &handle_detail::NullLocal, &handle_detail::FreeLocal>;

}  // namespace purvex::core

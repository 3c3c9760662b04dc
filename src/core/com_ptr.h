#pragma once

#include <windows.h>

#include <objbase.h>
#include <unknwn.h>

#include <utility>

namespace purvex::core {

// Holds one reference to a COM object.
template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    ComPtr(const ComPtr& other) noexcept : ptr_(other.ptr_) { AddRef(); }
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr& operator=(ComPtr other) noexcept {
        std::swap(ptr_, other.ptr_);
        return *this;
    }
    ~ComPtr() { Reset(); }

    // Takes over a reference the caller already owns.
    static ComPtr Attach(T* p) noexcept {
        ComPtr c;
        c.ptr_ = p;
        return c;
    }

    T* Get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }

    void Reset() noexcept {
        if (T* p = std::exchange(ptr_, nullptr)) {
            p->Release();
        }
    }
    T** Put() noexcept {
        Reset();
        return &ptr_;
    }
    void** PutVoid() noexcept { return reinterpret_cast<void**>(Put()); }

    template <typename U>
    ComPtr<U> As() const noexcept {
        ComPtr<U> out;
        if (ptr_) {
            ptr_->QueryInterface(__uuidof(U), out.PutVoid());
        }
        return out;
    }

private:
    void AddRef() noexcept {
        if (ptr_) {
            ptr_->AddRef();
        }
    }
    T* ptr_ = nullptr;
};

// Initialises COM on this thread for the lifetime of the object.
class ScopedCoInit {
public:
    explicit ScopedCoInit(DWORD flags) noexcept : hr_(::CoInitializeEx(nullptr, flags)) {}
    ScopedCoInit(const ScopedCoInit&) = delete;
    ScopedCoInit& operator=(const ScopedCoInit&) = delete;
    ~ScopedCoInit() {
        if (SUCCEEDED(hr_)) {
            ::CoUninitialize();
        }
    }
    [[nodiscard]] HRESULT Result() const noexcept { return hr_; }
    [[nodiscard]] bool Ok() const noexcept { return SUCCEEDED(hr_); }

private:
    HRESULT hr_;
};

// Frees memory that a COM API allocated for the caller.
template <typename T>
class CoTaskMem {
public:
    CoTaskMem() noexcept = default;
    CoTaskMem(const CoTaskMem&) = delete;
    CoTaskMem& operator=(const CoTaskMem&) = delete;
    ~CoTaskMem() { ::CoTaskMemFree(ptr_); }
    T* Get() const noexcept { return ptr_; }
    T** Put() noexcept {
        ::CoTaskMemFree(std::exchange(ptr_, nullptr));
        return &ptr_;
    }

private:
    T* ptr_ = nullptr;
};

}  // namespace purvex::core

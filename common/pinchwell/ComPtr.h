#pragma once
// A counted reference to a COM interface: AddRef on copy, Release on destruction.
#include <unknwn.h>

#include <utility>

namespace pinchwell {

template <typename T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference on p.
    explicit ComPtr(T* p) : ptr_(p) { if (ptr_) ptr_->AddRef(); }
    ComPtr(const ComPtr& other) : ComPtr(other.ptr_) {}
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ~ComPtr() { reset(); }
    ComPtr& operator=(ComPtr other) noexcept { std::swap(ptr_, other.ptr_); return *this; }

    T* get() const { return ptr_; }
    T* operator->() const { return ptr_; }
    explicit operator bool() const { return ptr_ != nullptr; }
    void reset() { if (T* p = std::exchange(ptr_, nullptr)) p->Release(); }
    // For out-parameters that hand over a reference the caller owns.
    T** put() { reset(); return &ptr_; }
    void** put_void() { return reinterpret_cast<void**>(put()); }
    // Gives up ownership without releasing.
    T* detach() { return std::exchange(ptr_, nullptr); }

    template <typename U>
    ComPtr<U> As(REFIID iid) const {
        ComPtr<U> out;
        if (ptr_) ptr_->QueryInterface(iid, out.put_void());
        return out;
    }
    template <typename U>
    ComPtr<U> As() const { return As<U>(__uuidof(U)); }

private:
    T* ptr_ = nullptr;
};

}  // namespace pinchwell

#pragma once
// A BSTR owned by one object: SysAllocString on construction, SysFreeString on destruction.
#include <oleauto.h>
#include <windows.h>

#include <string>
#include <utility>

namespace pinchwell {

class UniqueBstr {
public:
    UniqueBstr() = default;
    // A new BSTR holding text (embedded nulls included).
    explicit UniqueBstr(const std::wstring& text)
        : value_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~UniqueBstr() { reset(); }
    UniqueBstr(const UniqueBstr&) = delete;
    UniqueBstr& operator=(const UniqueBstr&) = delete;
    UniqueBstr(UniqueBstr&& other) noexcept : value_(std::exchange(other.value_, nullptr)) {}
    UniqueBstr& operator=(UniqueBstr&& other) noexcept {
        if (this != &other) { reset(); value_ = std::exchange(other.value_, nullptr); }
        return *this;
    }

    BSTR get() const { return value_; }
    explicit operator bool() const { return value_ != nullptr; }
    void reset() { if (BSTR b = std::exchange(value_, nullptr)) ::SysFreeString(b); }
    // For out-parameters that hand over a string the caller frees.
    BSTR* put() { reset(); return &value_; }
    // The text, empty for a null BSTR.
    std::wstring str() const { return value_ ? std::wstring(value_, ::SysStringLen(value_)) : std::wstring(); }

private:
    BSTR value_ = nullptr;
};

}  // namespace pinchwell

#pragma once
// A VARIANT that is initialised on construction and cleared (VariantClear) on destruction.
#include <oleauto.h>
#include <windows.h>

namespace pinchwell {

class UniqueVariant {
public:
    UniqueVariant() { ::VariantInit(&value_); }
    ~UniqueVariant() { ::VariantClear(&value_); }
    UniqueVariant(const UniqueVariant&) = delete;
    UniqueVariant& operator=(const UniqueVariant&) = delete;

    // A VT_I4 holding value.
    static void SetInt(VARIANT& v, LONG value) {
        ::VariantClear(&v);
        V_VT(&v) = VT_I4;
        V_I4(&v) = value;
    }
    void SetInt(LONG value) { SetInt(value_, value); }

    VARIANT* get() { return &value_; }
    const VARIANT* get() const { return &value_; }
    VARIANT& operator*() { return value_; }
    // Clears whatever it holds, for an out-parameter that fills it anew.
    VARIANT* put() { ::VariantClear(&value_); return &value_; }

private:
    VARIANT value_;
};

}  // namespace pinchwell

#pragma once
// COM initialised on the calling thread for a scope (CoInitializeEx / CoUninitialize).
#include <objbase.h>

namespace pinchwell {

class ComInit {
public:
    explicit ComInit(DWORD model = COINIT_APARTMENTTHREADED) : result_(::CoInitializeEx(nullptr, model)) {}
    ~ComInit() { if (SUCCEEDED(result_)) ::CoUninitialize(); }
    ComInit(const ComInit&) = delete;
    ComInit& operator=(const ComInit&) = delete;
    HRESULT result() const { return result_; }

private:
    HRESULT result_;
};

}  // namespace pinchwell

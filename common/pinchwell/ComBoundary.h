#pragma once
// Where a COM method meets the C++ inside it: no exception may leave a COM method, so
// every one runs its body through here, and a failure the body did not expect is
// answered as a COM result.
#include <windows.h>

#include <new>

namespace pinchwell {

// Runs body (which returns an HRESULT): out of memory answers E_OUTOFMEMORY, any other
// exception E_UNEXPECTED.
template <typename Body>
HRESULT ComBoundary(Body&& body) noexcept {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

}  // namespace pinchwell

#pragma once
// Owners of GDI resources that UniqueHandle.h does not cover: device contexts made with
// CreateDC or CreateCompatibleDC, and an object selected into a device context for a scope.
#include <windows.h>

#include "UniqueHandle.h"

namespace pinchwell {

struct DeviceContextTraits {  // CreateDC, CreateCompatibleDC: deleted with DeleteDC
    using Handle = HDC;
    static Handle Empty() { return nullptr; }
    static void Close(Handle h) { ::DeleteDC(h); }
};
using UniqueDC = UniqueResource<DeviceContextTraits>;

// Selects an object into a device context and selects the previous one back at scope end.
class ScopedSelection {
public:
    ScopedSelection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~ScopedSelection() { if (previous_ && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_); }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace pinchwell

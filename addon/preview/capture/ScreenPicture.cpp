#include "ScreenPicture.h"

#include <pinchwell/GdiResources.h>

#include "CaptureGeometry.h"

namespace {

ScreenRect VirtualScreen() {
    const int left = ::GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = ::GetSystemMetrics(SM_YVIRTUALSCREEN);
    return {left, top, left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN), top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

DesktopSource& CurrentDesktopSource() {
    static DesktopSource source = VirtualScreen;
    return source;
}

}  // namespace

ScreenRect Desktop() { return CurrentDesktopSource()(); }

DesktopSource SetDesktopSource(DesktopSource source) {
    DesktopSource previous = CurrentDesktopSource();
    CurrentDesktopSource() = source ? source : VirtualScreen;
    return previous;
}

ScreenPicture::ScreenPicture(const RECT& rect) {
    auto copy = ScreenCopyArea({rect.left, rect.top, rect.right, rect.bottom}, Desktop());
    if (!copy) return;
    pinchwell::UniqueDC screen(::CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
    if (!screen) return;
    pinchwell::UniqueDC memory(::CreateCompatibleDC(screen.get()));
    if (!memory) return;

    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = copy->width;
    info.bmiHeader.biHeight = -copy->height;  // top-down: the rows in the order PNG wants
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    // A new DIB section is all zeros: black where the desktop has nothing to copy.
    pinchwell::UniqueGdiObject section(::CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!section || !bits) return;
    {
        pinchwell::ScopedSelection selected(memory.get(), section.get());
        if (!::BitBlt(memory.get(), copy->pictureLeft, copy->pictureTop, copy->copyWidth, copy->copyHeight,
                      screen.get(), copy->sourceLeft, copy->sourceTop, SRCCOPY))
            return;
    }  // the previous bitmap is selected back before the contexts go
    ::GdiFlush();  // GDI may batch the copy; the rows are read directly below
    bitmap_ = std::move(section);
    bits_ = static_cast<const std::uint8_t*>(bits);
    width_ = copy->width;
    height_ = copy->height;
}

BgrxPixels ScreenPicture::Pixels() const {
    if (!bitmap_) return {};
    return {bits_, static_cast<std::uint32_t>(width_), static_cast<std::uint32_t>(height_),
            4 * static_cast<std::size_t>(width_), false};
}

HBITMAP ScreenPicture::Release() {
    bits_ = nullptr;
    width_ = 0;
    height_ = 0;
    return static_cast<HBITMAP>(bitmap_.release());
}

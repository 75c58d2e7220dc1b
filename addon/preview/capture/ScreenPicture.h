#pragma once
// A copy of part of the screen in a DIB section whose pixel rows the PNG writer reads
// directly: 32 bits a pixel, top row first.
#include <windows.h>

#include <pinchwell/UniqueHandle.h>

#include "PngWriter.h"
#include "ScreenRect.h"

class ScreenPicture {
public:
    ScreenPicture() = default;
    // A picture of the rectangle's whole size, with the part of it that lies on the
    // desktop (every monitor, Desktop()) copied from the screen at its own offset and the
    // rest black. Empty when the rectangle is empty, when nothing of it lies on the
    // desktop, or when GDI fails.
    explicit ScreenPicture(const RECT& rect);

    explicit operator bool() const { return static_cast<bool>(bitmap_); }
    int width() const { return width_; }
    int height() const { return height_; }
    HBITMAP bitmap() const { return static_cast<HBITMAP>(bitmap_.get()); }
    // The DIB section's rows; valid while the picture lives.
    BgrxPixels Pixels() const;
    // Hands the DIB section to the caller, who deletes it; the picture is empty afterwards.
    HBITMAP Release();

private:
    pinchwell::UniqueGdiObject bitmap_;
    const std::uint8_t* bits_ = nullptr;
    int width_ = 0;
    int height_ = 0;
};

// The desktop in the display's coordinates: the virtual screen (SM_XVIRTUALSCREEN,
// SM_YVIRTUALSCREEN, SM_CXVIRTUALSCREEN, SM_CYVIRTUALSCREEN), unless replaced.
ScreenRect Desktop();
// Replaces where Desktop() comes from for the whole process and returns the source it
// replaces; null restores the system's metrics. Tests only: the Wine here shows one
// monitor, so a desktop of several is given to the capture this way.
using DesktopSource = ScreenRect (*)();
DesktopSource SetDesktopSource(DesktopSource source);

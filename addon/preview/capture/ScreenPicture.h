#pragma once
// A copy of part of the screen in a DIB section whose pixel rows the PNG writer reads
// directly: 32 bits a pixel, top row first.
#include <windows.h>

#include <pinchwell/UniqueHandle.h>

#include "PngWriter.h"

class ScreenPicture {
public:
    ScreenPicture() = default;
    // Copies the rectangle, clipped to the primary screen, from the screen. Empty when the
    // rectangle, or what the screen leaves of it, is empty, or when GDI fails.
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

#pragma once
// The decisions of the page capture that need no window: which child windows
// matter, which part of the screen is copied.
#include <cstdint>
#include <optional>
#include <string>

#include "ScreenRect.h"
// EqualsIgnoringCase, which compares class names; PngWriter's IsPngPath takes the
// extension helpers from here too.
#include "FileExtension.h"

// The window class names that the content window search looks for.
extern const wchar_t kContentWindowClass[];  // "Internet Explorer_Server"
extern const wchar_t kFlashWindowClass[];    // "MacromediaFlashPlayerActiveX"
// Class names are read into a buffer of this many characters, the terminator included.
constexpr int kClassNameBuffer = 64;

enum class ChildWindowKind { Content, FlashPlayer, Other };

// The kind of a descendant of the tab's shell window, by its class name compared without
// regard to case.
ChildWindowKind ClassifyChildWindow(const std::wstring& className);

// The capture rectangle for a client area given in screen coordinates: 2 pixels in from
// the left and top, 20 pixels in from the right and bottom.
ScreenRect CaptureRectFromClient(const ScreenRect& client);

// The size reported for a capture rectangle: right - left and bottom - top, before any
// clipping to the screen (the client size minus 22).
struct CaptureSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};
CaptureSize CaptureSizeOf(const ScreenRect& capture);

// The screen area that CaptureScreenRect copies: left and top raised to 0, right and
// bottom cut at the screen's width and height. None when the rectangle is empty (width
// or height not positive), and none when nothing of it lies on the screen: there is
// nothing to copy, and a bitmap of no pixels cannot be made.
struct ScreenCopy {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};
std::optional<ScreenCopy> ScreenCopyArea(const ScreenRect& rect, std::int32_t screenWidth,
                                         std::int32_t screenHeight);

#pragma once
// The decisions of the page capture that need no window: which child windows matter,
// which part of the content window is pictured, and which part of the desktop is copied
// to which place of the picture.
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

// How far in from each side of the content window's client area the picture starts: the
// page draws its 3-D edge inside the client area, and its scroll bars inside that edge.
struct CaptureInsets {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// The system's sizes that the insets follow (GetSystemMetrics), which grow with the DPI.
struct CaptureMetrics {
    std::int32_t edgeWidth = 0;        // SM_CXEDGE
    std::int32_t edgeHeight = 0;       // SM_CYEDGE
    std::int32_t borderWidth = 0;      // SM_CXBORDER
    std::int32_t borderHeight = 0;     // SM_CYBORDER
    std::int32_t scrollBarWidth = 0;   // SM_CXVSCROLL
    std::int32_t scrollBarHeight = 0;  // SM_CYHSCROLL
};

// The edge at the left and top; at the right and bottom the scroll bar, the edge beside it
// and one border pixel more. Windows 7 at 96 DPI gives 2 and 20.
CaptureInsets InsetsFromMetrics(const CaptureMetrics& metrics);

// The capture rectangle for a client area given in screen coordinates.
ScreenRect CaptureRectFromClient(const ScreenRect& client, const CaptureInsets& insets);

// The size reported for a capture rectangle: right - left and bottom - top.
struct CaptureSize {
    std::int32_t width = 0;
    std::int32_t height = 0;
};
CaptureSize CaptureSizeOf(const ScreenRect& capture);

// What a capture copies: a picture of the whole capture rectangle, into which the part
// of the rectangle that lies on the desktop is copied at its own offset, so the picture
// always has the size the page is told and every pixel its place. The desktop is the
// virtual screen, every monitor's bounding rectangle, in the coordinates of the display's
// device context (the primary monitor's top-left is (0, 0); a monitor left of or above
// it has negative ones). Parts of it that no monitor shows copy as whatever the display
// gives there; the rest of the picture stays black.
struct ScreenCopy {
    std::int32_t width = 0;        // the picture: the capture rectangle's size
    std::int32_t height = 0;
    std::int32_t sourceLeft = 0;   // the visible part, in the display's coordinates
    std::int32_t sourceTop = 0;
    std::int32_t copyWidth = 0;    // its size
    std::int32_t copyHeight = 0;
    std::int32_t pictureLeft = 0;  // where it goes in the picture
    std::int32_t pictureTop = 0;
};

// None when the rectangle is empty (width or height not positive) or nothing of it lies
// on the desktop (wholly outside, or only touching its edge): there is nothing to picture.
std::optional<ScreenCopy> ScreenCopyArea(const ScreenRect& rect, const ScreenRect& desktop);

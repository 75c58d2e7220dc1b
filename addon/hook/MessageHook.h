#pragma once
// What the tab thread's message hook does with a message it sees: a pinch goes to the
// current tab's preview window, a two-finger tap resets the zoom, a left-button drag
// outside text scrolls the page, a mouse button pressed or released on the preview goes
// nowhere, everything else passes on untouched.
//
// The Windows hook procedure (GetMsgProc) gathers facts through HookPlatform when this
// logic asks for them, and carries out the actions it asks for; it swallows the message
// when HandleHookMessage says so.
#include <atomic>
#include <cstdint>

#include "BrowserHost.h"
#include "DragScroll.h"

namespace hookmsg {
constexpr std::uint32_t kGesture = 0x0119;      // WM_GESTURE
constexpr std::uint32_t kMouseMove = 0x0200;    // WM_MOUSEMOVE
constexpr std::uint32_t kLButtonDown = 0x0201;  // WM_LBUTTONDOWN
constexpr std::uint32_t kLButtonUp = 0x0202;    // WM_LBUTTONUP
constexpr std::uint32_t kMouseWheel = 0x020A;   // WM_MOUSEWHEEL, amid the button messages
constexpr std::uint32_t kLastButton = 0x020D;   // WM_XBUTTONDBLCLK
constexpr std::uint32_t kGestureZoom = 3;       // GID_ZOOM
constexpr std::uint32_t kGestureTwoFingerTap = 6;  // GID_TWOFINGERTAP
}  // namespace hookmsg

// Whether the message number lies in the range of the handled messages, from WM_GESTURE
// to the last mouse button message. The hook asks this first, so that any other message
// costs this one comparison.
constexpr bool MayBeHandledMessage(std::uint32_t message) {
    return message - hookmsg::kGesture <= hookmsg::kLastButton - hookmsg::kGesture;
}

// A mouse button pressed, released or double-clicked (left, right, middle, X) in a
// window's client area; a tap on a touch screen comes as the left button's.
constexpr bool IsMouseButtonMessage(std::uint32_t message) {
    return message - hookmsg::kLButtonDown <= hookmsg::kLastButton - hookmsg::kLButtonDown &&
           message != hookmsg::kMouseWheel;
}

// The fields of the MSG that the hook reads, and whether it is being removed from the
// queue (PM_REMOVE) or only peeked at.
struct HookMessage {
    std::uint32_t message = 0;
    bool removing = true;
    WindowHandle window = nullptr;  // hwnd
    std::uint64_t lParam = 0;       // the gesture handle, or the client point of a move
    std::int32_t x = 0;             // pt, screen coordinates
    std::int32_t y = 0;
};

// The tab's content window ("Internet Explorer_Server") and its screen rectangle.
struct ContentWindow {
    WindowHandle window = nullptr;
    ScreenRect rect;
};

// The platform as the hook sees it while it handles one message. An implementation
// takes the calling thread's own preview object once per message, so that every
// question below is about the tab the message belongs to.
class HookPlatform {
public:
    virtual ~HookPlatform() = default;

    virtual bool IsEnabled() = 0;               // "Enable" is exactly "TRUE"
    virtual bool TwoFingerTapResetsZoom() = 0;  // "TwoFingerTap2Zoom100" is exactly "TRUE"
    virtual void LogGestureWhileDisabled() = 0;  // the "break" record, when DEBUG is enabled

    // The gesture id (dwID) of the WM_GESTURE's information; false when it cannot be read.
    virtual bool ReadGestureId(std::uint32_t& id) = 0;
    // Closes the WM_GESTURE's information handle: the hook does this for a gesture it
    // swallows without handing it on, since nothing else will.
    virtual void CloseGesture() = 0;

    // The calling thread has a preview object (its tab is attached).
    virtual bool HasCurrentPreview() = 0;
    // Sends the message, unchanged, to the thread's preview window (it reads and closes
    // the gesture information).
    virtual void ForwardToPreview() = 0;
    // The error box of a pinch that has no preview to go to; returns when it is closed.
    virtual void ShowTabSwitchError() = 0;
    // The thread's tab browser; null without a preview object or without its browser.
    virtual IBrowserHost* CurrentBrowser() = 0;

    // The window is the thread's preview, the host window or a window of the control in it.
    virtual bool IsPreviewWindow(WindowHandle window) = 0;

    // The current cursor is the system's text cursor (I-beam).
    virtual bool IsTextCursor() = 0;
    // Searches the thread's tab for its content window: false when there is no preview
    // object or no such window (found.window is then never null).
    virtual bool FindContentWindow(ContentWindow& found) = 0;
};

// What the hook reads and writes: the calling thread's drag, and the process's error box.
struct HookState {
    DragState& drag;
    // An error box is open: its modal loop pumps messages, the hook runs again meanwhile,
    // and a further pinch must not open a second box.
    std::atomic<bool>& errorBoxOpen;
};

enum class HookResult { Pass, Swallow };

// Handles one message (code is known to be non-negative). Messages that are only peeked
// at pass untouched; a pinch is handled when it is removed, once.
HookResult HandleHookMessage(const HookMessage& message, HookPlatform& platform, HookState& state);

// The point (x, y) of a message to window is where a drag happens: not over text (the
// I-beam), in the thread's tab's content window, and off its scroll bars. Searches the
// content window once.
bool IsDragTarget(WindowHandle window, std::int32_t x, std::int32_t y, HookPlatform& platform);

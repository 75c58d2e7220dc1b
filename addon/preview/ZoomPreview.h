#pragma once
// The per-tab zoom preview: a hidden window that receives the pinch gestures the hook
// forwards, and a topmost host window with a second WebBrowser control that shows the
// captured page zoomed while the fingers move.
//
// The public face below is what the rest of the add-on uses (attach constructs the object
// and sets browser; the hook calls GetPreviewWindow and GetContentWindow and sends
// WM_GESTURE to the first; detach deletes it). It is fixed; the rest is the preview's own.
#include <windows.h>
#include <exdisp.h>

class CZoomPreview {
public:
    // Reads the zoom bounds, creates both windows, navigates the control to the template
    // page, becomes Addon().callbackPreview and starts the idle timer.
    CZoomPreview();
    // Stops every timer, clears Addon().callbackPreview and Addon().currentPreview where they
    // name this object, and destroys both windows; the thread's message loop goes on.
    ~CZoomPreview();
    CZoomPreview(const CZoomPreview&) = delete;
    CZoomPreview& operator=(const CZoomPreview&) = delete;

    // The tab's browser as attach hands it; not counted (the tab outlives its preview).
    IWebBrowser2* browser = nullptr;

    // The hidden window that forwarded gestures go to; recreates the windows when it is
    // missing.
    HWND GetPreviewWindow();
    // The tab's "Internet Explorer_Server" window, searched anew; null when the tab's
    // shell window cannot be had.
    HWND GetContentWindow();
};

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

#include <cstdint>
#include <memory>
#include <string>

#include <pinchwell/UniqueHandle.h>

#include "PinchMath.h"
#include "PreviewPage.h"
#include "WebBrowserHost.h"

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

    // The preview's state. Public so that tests can read it and set the bounds; in the
    // add-on only this object's own methods write it.
    std::int32_t awaitedZoom = 0;  // the zoom sent at the last pinch end; timer 2 waits for it
    // The control in hostWindow, as a browser host holding one counted reference; null
    // when the control could not be made, and then nothing ever uses it.
    std::unique_ptr<WebBrowserHost> previewBrowser;
    pinchwell::UniqueWindow hostWindow;  // the preview the user sees; owned by mockupWindow
    std::int32_t maxZoom = 0;            // MaxZoomRange, read once
    std::int32_t minZoom = 0;            // MinZoomRange, read once
    std::int32_t dampingDivisor = 10;
    CPreviewPage page;                   // what the preview page is told at a pinch start
    std::wstring imagePath;              // the capture file
    std::wstring imageUrl;               // its URL
    pinchwell::UniqueWindow mockupWindow;  // hidden, class "Pinchwell"; owns the timers
    std::uint32_t startDistance = 0;     // finger distance at the pinch start
    double scale = 1;                    // the damped factor so far
    double upperRatio = 1;               // maxZoom as a factor of startZoom
    double lowerRatio = 1;               // minZoom as a factor of startZoom
    double startZoom = 100;              // the tab's zoom at the pinch start, at least 100
    PinchSequence pinch;                 // whether a pinch has begun on this object

    // Registers the class "Pinchwell", creates mockupWindow and hostWindow, embeds the
    // control and navigates it once to the template page. Replaces windows and control
    // that were there before.
    void CreateWindows();

    // The procedures of the class "Pinchwell" and of its timers. Both act on
    // Addon().callbackPreview, never on the window's own object; no exception leaves them.
    static LRESULT CALLBACK PreviewWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static void CALLBACK PreviewTimerProc(HWND window, UINT message, UINT_PTR id, DWORD time);

    // One WM_GESTURE: a zoom gesture's begin, update or end. Always closes the handle.
    void OnGesture(WPARAM wParam, LPARAM lParam);
    void BeginPinch();
    void UpdatePinch(double ratio);
    void EndPinch();
    // Measures the tab's page, captures its content window to imagePath and hands both to
    // the preview page. Returns the content window, or null, with nothing captured, when
    // the tab has none.
    HWND CapturePage();
    // Moves the hidden host window, topmost, over the content window that the capture
    // found. False, with nothing moved, when the tab's shell window cannot be had.
    bool PlacePreview(HWND content);

private:
    void OnTimer(HWND window, UINT_PTR id);
    void StartIdleTimer();
    PinchValues Pinch() const { return {startZoom, upperRatio, lowerRatio, scale}; }
};

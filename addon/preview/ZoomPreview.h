#pragma once
// The per-tab zoom preview: a hidden window that receives the pinch gestures the hook
// forwards, and a topmost host window with a second WebBrowser control that shows the
// captured page zoomed while the fingers move.
//
// The public face below is what the rest of the add-on uses (attach constructs the object
// and sets browser; the hook calls GetPreviewWindow and GetContentWindow and sends
// WM_GESTURE to the first; detach releases it). It is fixed; the rest is the preview's own.
//
// An object belongs to the tab thread that made it: only that thread uses it. The hook
// and the event sink find it in the thread's entry of the preview table; its window and
// timer procedures find it from the window they run for.
#include <windows.h>
#include <exdisp.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include <pinchwell/UniqueHandle.h>

#include <pinchwell/ComPtr.h>

#include "CaptureFileCheck.h"
#include "DeferredRelease.h"
#include "DragScroll.h"
#include "PinchMath.h"
#include "PreviewPage.h"
#include "WebBrowserHost.h"

class CZoomPreview {
public:
    // Reads the zoom bounds, creates both windows, navigates the control to the template
    // page and starts the idle timer.
    CZoomPreview();
    // Stops every timer, clears Addon().currentPreview where it names this object, and
    // destroys both windows; the thread's message loop goes on.
    ~CZoomPreview();
    CZoomPreview(const CZoomPreview&) = delete;
    CZoomPreview& operator=(const CZoomPreview&) = delete;

    // Detach's way to free an object: at once, or, when its thread is still inside it (a
    // modal loop or a pumped message let the site go mid-gesture), when the outermost use
    // ends. A released object takes no new gesture or timer tick.
    static void Release(CZoomPreview* preview);
    bool Released() const { return life_.Released(); }

    // One use of an object on its own thread, from an entry point (the hook, the event
    // sink, the window and timer procedures) to its return. Null is no use.
    class Use {
    public:
        explicit Use(CZoomPreview* preview);
        ~Use();
        Use(const Use&) = delete;
        Use& operator=(const Use&) = delete;

    private:
        CZoomPreview* preview_;
    };

    // The object whose hidden window this is; null for any other window.
    static CZoomPreview* FromWindow(HWND window);

    // Which object this is: no later object of the process has the same number, while
    // its address may be taken again as soon as it is freed.
    const std::uint64_t serial = NewSerial();

    // The tab's browser as attach hands it, counted: a release that waits for a running
    // gesture may outlast the site's own reference.
    pinchwell::ComPtr<IWebBrowser2> browser;
    // The drag of this tab's thread (the hook's).
    DragState drag;

    // The hidden window that forwarded gestures go to; recreates the windows when it is
    // missing.
    HWND GetPreviewWindow();
    // The tab's "Internet Explorer_Server" window, searched anew; null when the tab's
    // shell window cannot be had.
    HWND GetContentWindow();
    // The window is the host window or one of the control's windows in it: what a tap on
    // the preview reaches.
    bool IsPreviewWindow(HWND window) const;

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

    // The procedures of the class "Pinchwell" and of its timers. Both act on the object
    // that owns the window; no exception leaves them.
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
    static std::uint64_t NewSerial();

    DeferredRelease life_;
    // The timers that run. Each runs only while it has something to do: an idle tab wakes
    // nobody.
    bool showPending_ = false;  // 1: waiting for the preview page's picture
    bool idleRunning_ = false;  // 3: hides the preview after a pause in the input
    DWORD commitStarted_ = 0;   // when 2 began waiting for the tab to report the zoom
    // This tab's last write of the capture file, which it deletes when it goes unless
    // another tab has written the file since.
    std::optional<CaptureFileStamp> captureWritten_;

    void OnTimer(HWND window, UINT_PTR id);
    // Starts or stops a timer of the hidden window; whether it now runs.
    bool RunTimer(UINT_PTR id, UINT period, bool run);
    void SetShowTimer(bool run);
    void SetCommitTimer(bool run);
    void ShowPreview(bool shown);
    // An earlier pinch's preview still shown (its tab has not reported that pinch's zoom)
    // lies topmost over the page: a screen copy would picture the preview, zoomed again.
    // Hides it and lets the page beneath, the content window, repaint first.
    void HideBeforeCapture(HWND content);
    // Starts or stops the idle timer as the preview's state asks.
    void FollowIdleRule();
    PinchValues Pinch() const { return {startZoom, upperRatio, lowerRatio, scale}; }
    // Destroys both windows, the hidden one no longer naming this object.
    void DestroyWindows();
};

// Unregisters the window classes of the preview ("Pinchwell" and the control host's)
// for the module: called when the library is unloaded, since classes outlive the DLL.
void UnregisterPreviewClasses(HINSTANCE instance);

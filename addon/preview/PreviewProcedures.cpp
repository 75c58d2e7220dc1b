// The window and timer procedures of the preview's hidden window: each acts on the
// object that owns the window, and nothing thrown leaves them.
#include "ZoomPreview.h"

#include "GestureReader.h"
#include "InputClock.h"
#include "PreviewTimers.h"
#include "ZoomCommands.h"

LRESULT CALLBACK CZoomPreview::PreviewWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_GESTURE) {
        // No exception may leave a window procedure; the handle is closed either way.
        try {
            CZoomPreview* preview = FromWindow(window);
            if (preview && !preview->Released()) {
                Use use(preview);
                preview->OnGesture(wParam, lParam);
            } else {
                CloseGestureInfo(reinterpret_cast<HGESTUREINFO>(lParam));
            }
        } catch (...) {
        }
        return 0;
    }
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void CALLBACK CZoomPreview::PreviewTimerProc(HWND window, UINT, UINT_PTR id, DWORD) {
    // No exception may leave a timer procedure.
    try {
        CZoomPreview* preview = FromWindow(window);
        if (preview && !preview->Released()) {
            Use use(preview);
            preview->OnTimer(window, id);
        }
    } catch (...) {
    }
}

void CZoomPreview::OnTimer(HWND, UINT_PTR id) {
    switch (id) {
    case kShowTimer:
        // Without a control there is nothing to show.
        if (!previewBrowser) {
            SetShowTimer(false);
        } else if (ArePageImagesReady(previewBrowser.get())) {
            SetShowTimer(false);
            ShowPreview(true);
        }
        break;
    case kCommitTimer: {
        // Without the tab's browser the zoom it waits for can never be reported; a tab
        // that does not report it within the deadline is not waited for any longer.
        bool done = !browser || CommitTimedOut(TickCountNow(), commitStarted_);
        if (!done) {
            int zoom = 100;
            GetBrowserZoom(browser.get(), &zoom);  // a failed query leaves 100
            done = zoom == awaitedZoom;
        }
        if (done) {
            SetCommitTimer(false);
            ShowPreview(false);
        }
        break;
    }
    case kIdleTimer:
        if (auto times = ReadInputTimes(); times && IdleLongEnough(times->now, times->lastInput)) ShowPreview(false);
        break;
    default:
        break;
    }
}

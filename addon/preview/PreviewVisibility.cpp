// Showing and hiding the preview, and the timers that run only while they have work.
#include "ZoomPreview.h"

#include <dwmapi.h>

#include "InputClock.h"
#include "PreviewTimers.h"

// Without the window there is no timer: one on no window would get an id of its own.
bool CZoomPreview::RunTimer(UINT_PTR id, UINT period, bool run) {
    if (!mockupWindow) return false;
    if (run)
        ::SetTimer(mockupWindow.get(), id, period, PreviewTimerProc);
    else
        ::KillTimer(mockupWindow.get(), id);
    return run;
}

void CZoomPreview::SetShowTimer(bool run) {
    showPending_ = RunTimer(kShowTimer, kShowPeriod, run);
    FollowIdleRule();
}

void CZoomPreview::SetCommitTimer(bool run) {
    if (RunTimer(kCommitTimer, kCommitPeriod, run)) commitStarted_ = TickCountNow();
}

void CZoomPreview::ShowPreview(bool shown) {
    // Never activated: the tab thread shares its input state with the browser's frame,
    // whose active window and focused element (an open drop-down, an IME composition)
    // would otherwise change at every pinch.
    ::ShowWindow(hostWindow.get(), shown ? SW_SHOWNA : SW_HIDE);
    FollowIdleRule();
}

void CZoomPreview::HideBeforeCapture(HWND content) {
    if (!::IsWindowVisible(hostWindow.get())) return;
    ShowPreview(false);
    // The page's windows belong to this thread, which is inside the pinch and takes no
    // messages meanwhile: they paint now what the preview covered, all of the content
    // window. Invalidated here too, since where the system keeps a copy of a covered
    // window (Wine) hiding the preview invalidates nothing.
    ::RedrawWindow(content, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    // With desktop composition the screen changes only at the next composed frame; the
    // result is of no matter (without composition there is nothing to wait for).
    ::DwmFlush();
    // A wait of no time for nothing: where window contents reach the screen only when their
    // thread waits (Wine), the repainted page is then on the screen for the copy. It
    // dispatches and removes nothing; on Windows it returns at once.
    ::MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_ALLINPUT, 0);
}

void CZoomPreview::FollowIdleRule() {
    const bool needed = IdleTimerNeeded(::IsWindowVisible(hostWindow.get()) != FALSE, showPending_);
    if (needed != idleRunning_) idleRunning_ = RunTimer(kIdleTimer, kIdlePeriod, needed);
}

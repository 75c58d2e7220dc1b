// One pinch: its begin (the tab's zoom, the capture, the page and the placement), each
// update of the preview's zoom, and its end (the tab's clamped zoom).
#include "ZoomPreview.h"

#include "GestureReader.h"
#include "PageCapture.h"
#include "PreviewPlacement.h"
#include "ScriptBridge.h"
#include "ZoomCommands.h"

namespace {

ScreenRect WindowRect(HWND window) {
    RECT r = {};
    ::GetWindowRect(window, &r);
    return {r.left, r.top, r.right, r.bottom};
}

// Gesture information handles are closed however the handling ends.
class GestureHandleCloser {
public:
    explicit GestureHandleCloser(HGESTUREINFO handle) : handle_(handle) {}
    ~GestureHandleCloser() { CloseGestureInfo(handle_); }
    GestureHandleCloser(const GestureHandleCloser&) = delete;
    GestureHandleCloser& operator=(const GestureHandleCloser&) = delete;

private:
    HGESTUREINFO handle_;
};

}  // namespace

void CZoomPreview::OnGesture(WPARAM, LPARAM lParam) {
    auto handle = reinterpret_cast<HGESTUREINFO>(lParam);
    GestureHandleCloser closer(handle);
    GESTUREINFO info;
    if (!ReadGestureInfo(handle, info) || info.dwID != GID_ZOOM) return;
    const auto distance = static_cast<std::uint16_t>(info.ullArguments & 0xFFFF);
    switch (pinch.Next(info.dwFlags)) {
    case PinchStep::Begin:
        startDistance = distance;
        BeginPinch();
        break;
    case PinchStep::Update:
        // A start distance of 0 gives no factor: the update changes nothing.
        if (auto ratio = PinchRatio(distance, startDistance)) UpdatePinch(*ratio);
        break;
    case PinchStep::End:
        EndPinch();
        break;
    case PinchStep::Ignore:
        break;
    }
}

void CZoomPreview::BeginPinch() {
    // A pinch retried while the tab has not reported the earlier one's zoom (a tab that
    // refuses it while loading): that pinch's deadline would hide this one's preview, and
    // this one's show timer, stopped by then, would not show it again.
    SetCommitTimer(false);
    int zoom = 100;
    if (browser) GetBrowserZoom(browser.get(), &zoom);  // used even when the query failed
    PinchValues start = StartPinch(zoom, minZoom, maxZoom);
    startZoom = start.startZoom;
    scale = start.scale;
    upperRatio = start.upperRatio;
    lowerRatio = start.lowerRatio;
    // Without a control that holds the preview page (a missing or broken Template.html, or
    // a failed navigation, leaves an error page there), without the tab's windows or
    // without a capture file there is no preview: it stays hidden for this pinch, whose
    // end still sets the zoom. The window that the capture found is the one the preview
    // covers (one search of the tab's windows, not two).
    if (!previewBrowser || !HoldsTemplatePage(previewBrowser->Browser())) return;
    HWND content = CapturePage();
    if (content && PlacePreview(content)) SetShowTimer(true);
}

void CZoomPreview::UpdatePinch(double ratio) {
    scale = DampedScale(ratio, upperRatio, lowerRatio, dampingDivisor);
    if (previewBrowser) SetBrowserZoom(previewBrowser.get(), TruncatedPercent(scale));
}

void CZoomPreview::EndPinch() {
    if (!browser) {
        // The tab is gone: no zoom to set. The show timer stops too, or its next tick
        // would show the preview again.
        SetShowTimer(false);
        ShowPreview(false);
        return;
    }
    awaitedZoom = FinalZoom(Pinch(), minZoom, maxZoom);
    SetBrowserZoom(browser.get(), awaitedZoom);
    SetShowTimer(false);
    SetCommitTimer(true);
}

HWND CZoomPreview::CapturePage() {
    if (imagePath.empty()) return nullptr;
    WebBrowserHost tab(browser.get());
    PageMeasures measures = MeasurePage(&tab);
    HWND content = nullptr;
    if (FAILED(FindContentWindow(&tab, &content)) || !content) return nullptr;
    HideBeforeCapture(content);
    int width = 0;
    int height = 0;
    // A file that is not the add-on's own (a link planted in its place) is not written:
    // the page would show whatever lies there.
    std::optional<CaptureFileStamp> written;
    const HRESULT saved = SaveWindowImage(content, imagePath, &width, &height, &written);
    if (written) captureWritten_ = written;  // emptied by a failed write, still this tab's
    if (FAILED(saved)) return nullptr;
    if (previewBrowser) {
        page.StorePinchStart(previewBrowser.get(), measures, imageUrl, width, height);
        page.UpdatePage();
    }
    return content;
}

bool CZoomPreview::PlacePreview(HWND content) {
    HWND shell = nullptr;
    if (!browser || FAILED(GetBrowserShellWindow(browser.get(), &shell)) || !shell) return false;
    PreviewPlacement at = PlaceOverContent(WindowRect(shell), WindowRect(content));
    ::SetWindowPos(hostWindow.get(), HWND_TOPMOST, at.x, at.y, at.width, at.height, SWP_NOACTIVATE);
    return true;
}

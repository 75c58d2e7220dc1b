#include "ZoomPreview.h"

#include <atomic>

#include <pinchwell/AnsiText.h>
#include <pinchwell/ComPtr.h>

#include "AddonState.h"
#include "ComIds.h"
#include "ControlHost.h"
#include "GestureReader.h"
#include "InputClock.h"
#include "PageCapture.h"
#include "PngFile.h"
#include "PreviewPaths.h"
#include "PreviewPlacement.h"
#include "PreviewTimers.h"
#include "ProgramFolder.h"
#include "ScriptBridge.h"
#include "ZoomBounds.h"
#include "ZoomCommands.h"

namespace {

const wchar_t kPreviewClass[] = L"Pinchwell";
const wchar_t kMockupTitle[] = L"Pinchwell - Mockup";
const wchar_t kWebBrowserClsid[] = L"{8856F961-340A-11D0-A96B-00C04FD705A2}";

// The module this code is in (the add-on library, not the browser's program), whose
// instance the windows and their classes belong to.
HINSTANCE ThisModule() {
    static const int marker = 0;
    HMODULE module = nullptr;
    ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                         reinterpret_cast<LPCWSTR>(&marker), &module);
    return module;
}

// Changes a window style only where the change alters it.
void ModifyStyle(HWND window, int which, LONG_PTR remove, LONG_PTR add) {
    LONG_PTR style = ::GetWindowLongPtrW(window, which);
    LONG_PTR changed = (style & ~remove) | add;
    if (changed != style) ::SetWindowLongPtrW(window, which, changed);
}

// No caption; a tool window (no taskbar button) with a thin edge.
void ApplyPreviewStyles(HWND window) {
    ModifyStyle(window, GWL_STYLE, WS_CAPTION, 0);
    ModifyStyle(window, GWL_EXSTYLE, 0, WS_EX_TOOLWINDOW);
    ModifyStyle(window, GWL_EXSTYLE, 0, WS_EX_STATICEDGE);
}

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

CZoomPreview::CZoomPreview() {
    RegisterControlHostClass(ThisModule());
    const int maxRead = Addon().settings.GetInt(SettingKey::MaxZoomRange);
    const int minRead = Addon().settings.GetInt(SettingKey::MinZoomRange);
    ZoomBounds bounds = SaneZoomBounds(minRead, maxRead);
    maxZoom = bounds.maxZoom;
    minZoom = bounds.minZoom;
    dampingDivisor = 10;
    CreateWindows();
    imagePath = CaptureFilePath();  // empty: no capture, never a relative path
    imageUrl = CaptureImageUrl(imagePath);
}

CZoomPreview::~CZoomPreview() {
    if (HWND window = mockupWindow.get()) {
        ::KillTimer(window, kIdleTimer);
        ::KillTimer(window, kShowTimer);
        ::KillTimer(window, kCommitTimer);
    }
    CZoomPreview* self = this;
    Addon().currentPreview.compare_exchange_strong(self, nullptr);
    page.previewBrowser = nullptr;
    previewBrowser.reset();
    DestroyWindows();
    // A screenshot of the tab (a bank's page, say) does not stay on disk. Every tab of the
    // user shares the file: a tab deletes only its own write, and only once its control
    // has let go of it; another tab's later picture stays for that tab's preview.
    if (captureWritten_) DeleteCaptureFile(imagePath, &*captureWritten_);
}

std::uint64_t CZoomPreview::NewSerial() {
    static std::atomic<std::uint64_t> last{0};
    return ++last;
}

void CZoomPreview::Release(CZoomPreview* preview) {
    if (preview && preview->life_.Release()) delete preview;
}

CZoomPreview::Use::Use(CZoomPreview* preview) : preview_(preview) {
    if (preview_) preview_->life_.Enter();
}

CZoomPreview::Use::~Use() {
    if (preview_ && preview_->life_.Leave()) delete preview_;
}

CZoomPreview* CZoomPreview::FromWindow(HWND window) {
    wchar_t name[16] = {};
    if (!window || ::GetClassNameW(window, name, 16) == 0 || ::lstrcmpW(name, kPreviewClass) != 0) return nullptr;
    return reinterpret_cast<CZoomPreview*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

void CZoomPreview::DestroyWindows() {
    // A window already destroyed with its owner (or by the thread's end) is only forgotten.
    if (!::IsWindow(hostWindow.get())) hostWindow.release();
    if (!::IsWindow(mockupWindow.get())) mockupWindow.release();
    if (mockupWindow) ::SetWindowLongPtrW(mockupWindow.get(), GWLP_USERDATA, 0);
    // The host window first: it belongs to the mockup window, which would take it along.
    hostWindow.reset();
    mockupWindow.reset();
}

void UnregisterPreviewClasses(HINSTANCE instance) {
    ::UnregisterClassW(kPreviewClass, instance);
    ::UnregisterClassW(kControlHostClass, instance);
}

void CZoomPreview::CreateWindows() {
    HINSTANCE instance = ThisModule();
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = PreviewWndProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = kPreviewClass;
    ::RegisterClassExW(&wc);  // registered already by another tab: fine

    // Whatever was there before goes: the control, then the host window, then the mockup
    // window.
    page.previewBrowser = nullptr;
    previewBrowser.reset();
    DestroyWindows();
    showPending_ = idleRunning_ = false;  // the timers went with the window

    mockupWindow.reset(::CreateWindowExW(0, kPreviewClass, kMockupTitle, 0, CW_USEDEFAULT, CW_USEDEFAULT,
                                         CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr));
    if (mockupWindow) {
        // The window names its object: its procedures act on nothing else.
        ::SetWindowLongPtrW(mockupWindow.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
        ApplyPreviewStyles(mockupWindow.get());
    }

    RegisterControlHostClass(instance);
    // Owned by the mockup window: a top-level window, created hidden.
    hostWindow.reset(::CreateWindowExW(0, kControlHostClass, nullptr, 0, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                       CW_USEDEFAULT, mockupWindow.get(), nullptr, instance, nullptr));
    if (!hostWindow) return;
    // The control's own security manager would refuse the page its script in the
    // browser's process (Local Machine Zone Lockdown): the host vouches for this page only.
    const std::wstring templatePage = pinchwell::AnsiToWide(TemplatePagePath(GetProgramFilesFolder()));
    TrustTemplatePage(hostWindow.get(), templatePage);
    pinchwell::ComPtr<IUnknown> control;
    if (SUCCEEDED(CreateHostedControl(hostWindow.get(), kWebBrowserClsid, control.put())) && control) {
        auto web = control.As<IWebBrowser2>(comid::kWebBrowser2);
        if (web) previewBrowser = std::make_unique<WebBrowserHost>(web.get());
    }
    if (previewBrowser) previewBrowser->Navigate(templatePage);
    ApplyPreviewStyles(hostWindow.get());
    // Not even a tap on it makes the preview the active window.
    ModifyStyle(hostWindow.get(), GWL_EXSTYLE, 0, WS_EX_NOACTIVATE);
}

HWND CZoomPreview::GetPreviewWindow() {
    if (!::IsWindow(mockupWindow.get())) CreateWindows();
    return mockupWindow.get();
}

HWND CZoomPreview::GetContentWindow() {
    HWND content = nullptr;
    if (!browser || FAILED(FindContentWindow(browser.get(), &content))) return nullptr;
    return content;
}

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

void CZoomPreview::FollowIdleRule() {
    const bool needed = IdleTimerNeeded(::IsWindowVisible(hostWindow.get()) != FALSE, showPending_);
    if (needed != idleRunning_) idleRunning_ = RunTimer(kIdleTimer, kIdlePeriod, needed);
}

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

// The preview object's life: construction, its two windows and the control, teardown,
// and the deferred release.
#include "ZoomPreview.h"

#include <atomic>

#include <pinchwell/AnsiText.h>
#include <pinchwell/ComPtr.h>

#include "AddonState.h"
#include "ComIds.h"
#include "ControlHost.h"
#include "PageCapture.h"
#include "PngFile.h"
#include "PreviewPaths.h"
#include "PreviewTimers.h"
#include "ProgramFolder.h"
#include "ZoomBounds.h"

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
        if (web) {
            // No script error or other dialog of the control may come up over the browser.
            web->put_Silent(VARIANT_TRUE);
            previewBrowser = std::make_unique<WebBrowserHost>(web.get());
        }
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

bool CZoomPreview::IsPreviewWindow(HWND window) const {
    HWND host = hostWindow.get();
    return host && window && (window == host || ::IsChild(host, window));
}

HWND CZoomPreview::GetContentWindow() {
    HWND content = nullptr;
    if (!browser || FAILED(FindContentWindow(browser.get(), &content))) return nullptr;
    return content;
}

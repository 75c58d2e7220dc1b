#include "PageCapture.h"

#include "CaptureGeometry.h"
#include "GdiplusImage.h"
#include "PngFile.h"
#include "WebBrowserHost.h"

HRESULT GetBrowserShellWindow(IWebBrowser2* browser, HWND* window) {
    WebBrowserHost host(browser);
    WindowHandle handle = *window;
    HRESULT hr = host.GetShellWindow(handle);
    *window = static_cast<HWND>(handle);
    return hr;
}

BOOL CALLBACK EnumContentProc(HWND window, LPARAM parameter) {
    wchar_t name[kClassNameBuffer] = {};
    int length = ::GetClassNameW(window, name, kClassNameBuffer);
    try {
        switch (ClassifyChildWindow(std::wstring(name, length > 0 ? static_cast<std::size_t>(length) : 0))) {
        case ChildWindowKind::Content:
            *reinterpret_cast<WindowHandle*>(parameter) = window;
            break;
        case ChildWindowKind::FlashPlayer:
            ::ShowWindow(window, SW_HIDE);  // never shown again by the add-on
            break;
        case ChildWindowKind::Other:
            break;
        }
    } catch (...) {
        // Out of memory for a class name: this window is passed over; no exception may
        // unwind through the platform's enumeration.
    }
    return TRUE;
}

HRESULT FindContentWindow(IBrowserHost* browser, HWND* window) {
    if (!browser) return E_POINTER;
    WindowHandle shell = nullptr;
    HRESULT hr = browser->GetShellWindow(shell);
    if (FAILED(hr)) return hr;
    // Enumerating below no window would go through every top-level window of the desktop.
    if (!shell) return E_FAIL;
    // The result is this search's own: another tab's search, on another thread, never
    // mixes with it, and a tab without a content window gets none.
    WindowHandle content = nullptr;
    ::EnumChildWindows(static_cast<HWND>(shell), EnumContentProc, reinterpret_cast<LPARAM>(&content));
    *window = static_cast<HWND>(content);
    return hr;
}

HRESULT FindContentWindow(IWebBrowser2* browser, HWND* window) {
    WebBrowserHost host(browser);
    return FindContentWindow(&host, window);
}

HBITMAP CaptureScreenRect(const RECT& rect) { return ScreenPicture(rect).Release(); }

namespace {

// The page's edge and scroll bars are as wide as the system draws them at its DPI.
CaptureInsets SystemCaptureInsets() {
    CaptureMetrics metrics;
    metrics.edgeWidth = ::GetSystemMetrics(SM_CXEDGE);
    metrics.edgeHeight = ::GetSystemMetrics(SM_CYEDGE);
    metrics.borderWidth = ::GetSystemMetrics(SM_CXBORDER);
    metrics.borderHeight = ::GetSystemMetrics(SM_CYBORDER);
    metrics.scrollBarWidth = ::GetSystemMetrics(SM_CXVSCROLL);
    metrics.scrollBarHeight = ::GetSystemMetrics(SM_CYHSCROLL);
    return InsetsFromMetrics(metrics);
}

// The capture rectangle of the window's client area in screen coordinates; width and
// height receive its size before any clipping.
RECT ClientCaptureRect(HWND window, int* width, int* height) {
    RECT client = {};
    ::GetClientRect(window, &client);
    POINT topLeft = {client.left, client.top};
    POINT bottomRight = {client.right, client.bottom};
    ::ClientToScreen(window, &topLeft);
    ::ClientToScreen(window, &bottomRight);
    ScreenRect capture =
        CaptureRectFromClient({topLeft.x, topLeft.y, bottomRight.x, bottomRight.y}, SystemCaptureInsets());
    CaptureSize size = CaptureSizeOf(capture);
    *width = size.width;
    *height = size.height;
    return RECT{capture.left, capture.top, capture.right, capture.bottom};
}

}  // namespace

ScreenPicture CaptureClientPicture(HWND window, int* width, int* height) {
    if (!window) return ScreenPicture();
    return ScreenPicture(ClientCaptureRect(window, width, height));
}

HBITMAP CaptureClientArea(HWND window, int* width, int* height) {
    return CaptureClientPicture(window, width, height).Release();
}

HRESULT SaveWindowImage(HWND window, const std::wstring& path, int* width, int* height,
                        std::optional<CaptureFileStamp>* written) {
    int w = 0;
    int h = 0;
    ScreenPicture picture = CaptureClientPicture(window, &w, &h);
    if (!picture) {
        *width = 0;
        *height = 0;
        return E_FAIL;
    }
    *width = w;
    *height = h;
    if (IsPngPath(path)) return SavePngFile(picture.Pixels(), path, written);  // straight from the DIB section's rows
    return SaveBitmapFile(picture.bitmap(), path);
}

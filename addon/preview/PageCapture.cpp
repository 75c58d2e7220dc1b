#include "PageCapture.h"

#include <pinchwell/GdiResources.h>
#include <pinchwell/UniqueHandle.h>

#include "AddonState.h"
#include "CaptureGeometry.h"
#include "GdiplusImage.h"
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
    switch (ClassifyChildWindow(std::wstring(name, length > 0 ? static_cast<std::size_t>(length) : 0))) {
    case ChildWindowKind::Content:
        reinterpret_cast<std::atomic<WindowHandle>*>(parameter)->store(window);
        break;
    case ChildWindowKind::FlashPlayer:
        ::ShowWindow(window, SW_HIDE);  // never shown again by the add-on
        break;
    case ChildWindowKind::Other:
        break;
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
    std::atomic<WindowHandle>& content = Addon().contentWindow;
    ::EnumChildWindows(static_cast<HWND>(shell), EnumContentProc, reinterpret_cast<LPARAM>(&content));
    *window = static_cast<HWND>(content.load());
    return hr;
}

HRESULT FindContentWindow(IWebBrowser2* browser, HWND* window) {
    WebBrowserHost host(browser);
    return FindContentWindow(&host, window);
}

HBITMAP CaptureScreenRect(const RECT& rect) {
    if (rect.right - rect.left <= 0 || rect.bottom - rect.top <= 0) return nullptr;
    pinchwell::UniqueDC screen(::CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr));
    if (!screen) return nullptr;
    pinchwell::UniqueDC memory(::CreateCompatibleDC(screen.get()));
    if (!memory) return nullptr;
    auto copy = ScreenCopyArea({rect.left, rect.top, rect.right, rect.bottom},
                               ::GetDeviceCaps(screen.get(), HORZRES), ::GetDeviceCaps(screen.get(), VERTRES));
    if (!copy) return nullptr;
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen.get(), copy->width, copy->height);
    if (!bitmap) return nullptr;
    {
        pinchwell::ScopedSelection selected(memory.get(), bitmap);
        ::BitBlt(memory.get(), 0, 0, copy->width, copy->height, screen.get(), copy->left, copy->top, SRCCOPY);
    }  // the previous bitmap is selected back before the contexts go
    return bitmap;
}

HBITMAP CaptureClientArea(HWND window, int* width, int* height) {
    if (!window) return nullptr;
    RECT client = {};
    ::GetClientRect(window, &client);
    POINT topLeft = {client.left, client.top};
    POINT bottomRight = {client.right, client.bottom};
    ::ClientToScreen(window, &topLeft);
    ::ClientToScreen(window, &bottomRight);
    ScreenRect capture = CaptureRectFromClient({topLeft.x, topLeft.y, bottomRight.x, bottomRight.y});
    CaptureSize size = CaptureSizeOf(capture);
    *width = size.width;
    *height = size.height;
    return CaptureScreenRect(RECT{capture.left, capture.top, capture.right, capture.bottom});
}

void SaveWindowImage(HWND window, const std::wstring& path, int* width, int* height) {
    int w = 0;
    int h = 0;
    pinchwell::UniqueGdiObject bitmap(CaptureClientArea(window, &w, &h));
    if (!bitmap) {
        *width = 0;
        *height = 0;
        return;
    }
    *width = w;
    *height = h;
    SaveBitmapFile(static_cast<HBITMAP>(bitmap.get()), path);  // failures are not reported
}

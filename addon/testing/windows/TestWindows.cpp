#include "TestWindows.h"

#include <chrono>

namespace testwindows {

HINSTANCE Module() { return ::GetModuleHandleW(nullptr); }

HBRUSH WindowBrush() { return reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1); }

// The arrow, not the I-beam.
HCURSOR ArrowCursor() { return ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512)); }

void Register(const wchar_t* name, WNDPROC procedure, HBRUSH background, HCURSOR cursor) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = procedure;
    wc.hInstance = Module();
    wc.hbrBackground = background;
    wc.hCursor = cursor;
    wc.lpszClassName = name;
    ::RegisterClassExW(&wc);
}

HWND Child(const wchar_t* className, HWND parent, int x, int y, int width, int height) {
    return ::CreateWindowExW(0, className, nullptr, WS_CHILD | WS_VISIBLE, x, y, width, height, parent, nullptr,
                             Module(), nullptr);
}

void Drain() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
}

int TimerMessages(HWND window, int milliseconds) {
    int timers = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_TIMER && msg.hwnd == window) ++timers;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
    }
    return timers;
}

void Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ::PostMessageW(window, message, wParam, lParam);
    MSG msg;
    if (::PeekMessageW(&msg, window, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
}

}  // namespace testwindows

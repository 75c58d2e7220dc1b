#pragma once
// Windows for the add-on's Windows tests and benchmarks: classes and child windows of this
// program, the thread's queue run empty or one posted message taken through the hook, and
// a substitute tab browser over a tab's shell window.
#include <windows.h>

#include "Substitutes.h"

namespace testwindows {

HINSTANCE Module();

HBRUSH WindowBrush();
HCURSOR ArrowCursor();

// Registers a window class of this program; a class registered before stays as it was.
void Register(const wchar_t* name, WNDPROC procedure = ::DefWindowProcW, HBRUSH background = WindowBrush(),
              HCURSOR cursor = ArrowCursor());

// A visible child window of a registered class.
HWND Child(const wchar_t* className, HWND parent, int x, int y, int width, int height);

// Dispatches the thread's messages until none is left.
void Drain();

// Runs the thread's messages for the given time and counts the timer messages of window.
int TimerMessages(HWND window, int milliseconds);

// Posts the message, takes it from the queue (the hook runs) and dispatches what is left.
void Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A tab browser whose shell view is the given shell window, with a substitute page.
struct TabBrowser {
    substitute::PageWithWindow page;
    substitute::OleWindow shellView;
    explicit TabBrowser(HWND shell) {
        shellView.window = shell;
        page.browser.shellView = &shellView;
    }
    IWebBrowser2* Browser() { return page.browser.AsBrowser(); }
};

}  // namespace testwindows

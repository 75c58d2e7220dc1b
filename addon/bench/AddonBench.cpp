// Times the pinch-start capture under Wine (or Windows) and prints median times. Not a
// test: it is built with the Windows flavour and run by hand on a display, in the build's
// Wine prefix (whose virtual desktop is 1280x1024), for example:
//
//   Xvfb :77 -screen 0 1280x1024x24 -nolisten tcp &
//   DISPLAY=:77 scripts/wine-run.sh build/win64/wineprefix build/win64/addon/bench/wine/addon_bench.exe
//
// The capture: FindContentWindow over a tab's window tree, then a screen copy of a content
// window whose client area is 1280 by 1000 pixels, written as a PNG file. Two ways of
// running GDI+ are compared, interleaved round by round so that both see the same machine:
//   start/stop per capture   SaveWindowImage: GDI+ started and shut down around each save
//   GDI+ kept running        one GdiplusSession around all rounds, CaptureClientArea and
//                            SaveBitmapFile(session, ...)
// and, to show where the time goes, the screen copy alone and the search alone. A frame
// at 60 Hz is 16.7 ms.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cwchar>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include <pinchwell/UniqueHandle.h>

#include "AddonState.h"
#include "GdiplusImage.h"
#include "PageCapture.h"
#include "SubstituteBrowser.h"

namespace {

constexpr int kClientWidth = 1280;
constexpr int kClientHeight = 1000;
constexpr int kRounds = 41;

double Milliseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

struct Samples {
    const char* name;
    std::vector<double> ms;

    void Time(const std::function<void()>& operation) {
        auto start = std::chrono::steady_clock::now();
        operation();
        ms.push_back(Milliseconds(std::chrono::steady_clock::now() - start));
    }
    void Print() {
        std::sort(ms.begin(), ms.end());
        std::printf("%-26s median %8.2f ms   (min %7.2f, max %7.2f; %zu runs)\n", name, ms[ms.size() / 2],
                    ms.front(), ms.back(), ms.size());
    }
};

HINSTANCE Module() { return ::GetModuleHandleW(nullptr); }

// A page-like picture: white, lines of text, a few coloured blocks; PNG time depends on
// what is encoded, and a plain colour would compress to nothing.
LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return ::DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window, &paint);
    RECT client;
    ::GetClientRect(window, &client);
    ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    const wchar_t line[] = L"Pinchwell zoom preview benchmark: the quick brown fox jumps over the lazy dog 0123456789";
    for (int y = 8, n = 0; y < client.bottom; y += 18, ++n)
        ::TextOutW(dc, 12 + (n % 7) * 9, y, line, static_cast<int>(std::wcslen(line)));
    for (int i = 0; i < 12; ++i) {
        pinchwell::UniqueGdiObject brush(::CreateSolidBrush(RGB(40 * i % 256, 90 + 13 * i, 200 - 15 * i)));
        RECT block = {900 + (i % 3) * 110, 40 + (i / 3) * 220, 990 + (i % 3) * 110, 200 + (i / 3) * 220};
        ::FillRect(dc, &block, static_cast<HBRUSH>(brush.get()));
    }
    ::EndPaint(window, &paint);
    return 0;
}

void Register(const wchar_t* name, WNDPROC procedure = ::DefWindowProcW) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = procedure;
    wc.hInstance = Module();
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name;
    ::RegisterClassExW(&wc);
}

HWND Child(const wchar_t* className, HWND parent, int x, int y, int width, int height) {
    return ::CreateWindowExW(0, className, nullptr, WS_CHILD | WS_VISIBLE, x, y, width, height, parent, nullptr,
                             Module(), nullptr);
}

void Pump() {
    for (int i = 0; i < 30; ++i) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&msg);
        ::Sleep(10);
    }
}

std::wstring TempFile(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    return std::wstring(folder) + name;
}

}  // namespace

int main() {
    // A tab like the browser's: shell window, toolbars, document view, the content window
    // filling the screen's width, and one child of the page.
    for (const wchar_t* name : {L"TabWindowClass", L"ReBarWindow32", L"Shell DocObject View",
                                L"Internet Explorer_TridentCmboBx"})
        Register(name);
    Register(L"Internet Explorer_Server", PageProc);
    pinchwell::UniqueWindow shell(::CreateWindowExW(0, L"TabWindowClass", nullptr, WS_POPUP | WS_VISIBLE, 0, 0,
                                                    kClientWidth, kClientHeight + 24, nullptr, nullptr, Module(),
                                                    nullptr));
    for (int i = 0; i < 3; ++i) Child(L"ReBarWindow32", shell.get(), 0, i * 8, kClientWidth, 8);
    HWND view = Child(L"Shell DocObject View", shell.get(), 0, 24, kClientWidth, kClientHeight);
    HWND content = Child(L"Internet Explorer_Server", view, 0, 0, kClientWidth, kClientHeight);
    Child(L"Internet Explorer_TridentCmboBx", content, 10, 10, 100, 20);
    Pump();

    RECT client = {};
    ::GetClientRect(content, &client);
    std::printf("Pinch-start capture: content client area %ldx%ld, picture %ldx%ld, PNG\n", client.right,
                client.bottom, client.right - 22, client.bottom - 22);

    SubstituteBrowser tab;
    tab.shellWindow = shell.get();
    std::wstring png = TempFile(L"pinchwell-bench.png");
    int width = 0, height = 0;

    Samples perCapture{"start/stop per capture", {}};
    Samples keptRunning{"GDI+ kept running", {}};
    Samples copyOnly{"find + screen copy only", {}};
    Samples findOnly{"find content window only", {}};
    {
        GdiplusSession running;  // the kept-running variant's session, from before its first round
        for (int round = -1; round < kRounds; ++round) {  // round -1 warms both paths up
            Samples* per = round < 0 ? nullptr : &perCapture;
            Samples* kept = round < 0 ? nullptr : &keptRunning;
            auto timed = [](Samples* s, const std::function<void()>& op) { s ? s->Time(op) : op(); };
            timed(per, [&] {
                HWND found = nullptr;
                FindContentWindow(&tab, &found);
                SaveWindowImage(found, png, &width, &height);
            });
            timed(kept, [&] {
                HWND found = nullptr;
                FindContentWindow(&tab, &found);
                pinchwell::UniqueGdiObject bitmap(CaptureClientArea(found, &width, &height));
                SaveBitmapFile(running, static_cast<HBITMAP>(bitmap.get()), png);
            });
            if (round < 0) continue;
            copyOnly.Time([&] {
                HWND found = nullptr;
                FindContentWindow(&tab, &found);
                pinchwell::UniqueGdiObject bitmap(CaptureClientArea(found, &width, &height));
            });
            findOnly.Time([&] {
                HWND found = nullptr;
                FindContentWindow(&tab, &found);
            });
        }
    }
    if (width != kClientWidth - 22 || height != kClientHeight - 22)
        std::printf("  (unexpected picture size %dx%d)\n", width, height);
    perCapture.Print();
    keptRunning.Print();
    copyOnly.Print();
    findOnly.Print();

    WIN32_FILE_ATTRIBUTE_DATA file = {};
    if (::GetFileAttributesExW(png.c_str(), GetFileExInfoStandard, &file))
        std::printf("PNG file: %lu bytes\n", file.nFileSizeLow);
    ::DeleteFileW(png.c_str());
    return 0;
}

// Times the add-on core's platform work under Wine (or Windows) and prints the median
// time of each operation. Not a test: it is built with the Windows flavour and run by
// hand, on a display, in the build's Wine prefix, for example:
//
//   xvfb-run -a -s "-screen 0 1280x1024x24" scripts/wine-run.sh build/win64/wineprefix
//       build/win64/addon/bench/wine/addon_bench.exe        (one command line)
//
// What it measures, and where the add-on pays for it:
//   capture+save      SaveWindowImage of an 800x600 content area: screen copy, GDI+
//                     started, PNG written, GDI+ shut down (every pinch start, Part 2.3)
//   capture only      CaptureClientArea: the screen copy alone
//   save only         SaveBitmapFile of a 778x578 bitmap, GDI+ started and stopped
//   encode (GDI+ up)  the same PNG save with GDI+ kept running: what the per-capture
//                     start and shutdown cost is measured against
//   find content      FindContentWindow over a tab of 12 windows (twice per mouse
//                     message of a drag, Part 1.4)
//   save zoom factor  SaveZoomFactor: the registry write of every SetBrowserZoom,
//                     including every pinch update (Part 1.5)
//   set/get zoom      SetBrowserZoom and GetBrowserZoom on Wine's WebBrowser object
//   images ready      ArePageImagesReady through WebBrowserHost on a COM substitute page
//                     of 3 images (timer 1 asks every millisecond, Part 2.1)
//   thread lookup     ThreadTable::Lookup among 8 tabs
#include <windows.h>
#include <exdisp.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <pinchwell/ComInit.h>
#include <pinchwell/ComPtr.h>
#include <pinchwell/GdiResources.h>
#include <pinchwell/UniqueHandle.h>

#include <gdiplus.h>

#include "AddonState.h"
#include "ComIds.h"
#include "GdiplusImage.h"
#include "PageCapture.h"
#include "SubstituteBrowser.h"
#include "Substitutes.h"
#include "ThreadTable.h"
#include "WebBrowserHost.h"
#include "ZoomCommands.h"

namespace {

double Now() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f;
        ::QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t;
    ::QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Result {
    std::string name;
    double median, low, high;  // seconds per operation
    int samples, batch;
};

// samples batches of batch calls each, after one warm-up batch; per-operation times.
Result Measure(const std::string& name, int samples, int batch, const std::function<void()>& operation) {
    for (int i = 0; i < batch; ++i) operation();
    std::vector<double> times;
    for (int s = 0; s < samples; ++s) {
        double start = Now();
        for (int i = 0; i < batch; ++i) operation();
        times.push_back((Now() - start) / batch);
    }
    std::sort(times.begin(), times.end());
    return {name, times[times.size() / 2], times.front(), times.back(), samples, batch};
}

void Print(const Result& r) {
    auto text = [](double seconds) {
        char buffer[32];
        if (seconds >= 1e-3) std::snprintf(buffer, sizeof buffer, "%9.3f ms", seconds * 1e3);
        else std::snprintf(buffer, sizeof buffer, "%9.3f us", seconds * 1e6);
        return std::string(buffer);
    };
    std::printf("%-20s %s  (min %s, max %s; %d x %d)\n", r.name.c_str(), text(r.median).c_str(), text(r.low).c_str(),
                text(r.high).c_str(), r.samples, r.batch);
    std::fflush(stdout);
}

HINSTANCE Module() { return ::GetModuleHandleW(nullptr); }

void RegisterWindowClass(const wchar_t* name) {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ::DefWindowProcW;
    wc.hInstance = Module();
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = name;
    ::RegisterClassExW(&wc);
}

HWND Create(const wchar_t* className, HWND parent, DWORD style, int x, int y, int width, int height) {
    RegisterWindowClass(className);
    return ::CreateWindowExW(0, className, nullptr, style, x, y, width, height, parent, nullptr, Module(), nullptr);
}

void Pump() {
    for (int i = 0; i < 20; ++i) {
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
    pinchwell::ComInit com;
    std::printf("Pinchwell add-on core, median time per operation\n");

    // A tab like the browser's: frame, tab, document view, content window and some
    // siblings (toolbars, status bar), 12 windows in all.
    HWND frame = Create(L"IEFrame", nullptr, WS_POPUP | WS_VISIBLE, 40, 40, 900, 760);
    HWND tab = Create(L"TabWindowClass", frame, WS_CHILD | WS_VISIBLE, 0, 60, 900, 680);
    for (int i = 0; i < 6; ++i) Create(L"ReBarWindow32", frame, WS_CHILD | WS_VISIBLE, 0, i * 10, 900, 10);
    Create(L"msctls_statusbar32", frame, WS_CHILD | WS_VISIBLE, 0, 740, 900, 20);
    HWND view = Create(L"Shell DocObject View", tab, WS_CHILD | WS_VISIBLE, 0, 0, 880, 660);
    HWND content = Create(L"Internet Explorer_Server", view, WS_CHILD | WS_VISIBLE, 0, 0, 800, 600);
    Create(L"Internet Explorer_TridentCmboBx", content, WS_CHILD | WS_VISIBLE, 10, 10, 100, 20);
    Pump();

    std::wstring png = TempFile(L"pinchwell-bench.png");
    int width = 0, height = 0;
    Print(Measure("capture+save", 31, 1, [&] { SaveWindowImage(content, png, &width, &height); }));
    Print(Measure("capture only", 31, 5, [&] {
        HBITMAP b = CaptureClientArea(content, &width, &height);
        ::DeleteObject(b);
    }));
    pinchwell::UniqueGdiObject bitmap(CaptureClientArea(content, &width, &height));
    HBITMAP captured = static_cast<HBITMAP>(bitmap.get());
    Print(Measure("save only", 31, 1, [&] { SaveBitmapFile(captured, png); }));
    {
        Gdiplus::GdiplusStartupInput input;
        ULONG_PTR token = 0;
        Gdiplus::GdiplusStartup(&token, &input, nullptr);  // kept running: SaveBitmapFile's own start is cheap then
        Print(Measure("encode (GDI+ up)", 31, 1, [&] { SaveBitmapFile(captured, png); }));
        Gdiplus::GdiplusShutdown(token);
    }
    ::DeleteFileW(png.c_str());

    SubstituteBrowser tabBrowser;
    tabBrowser.shellWindow = frame;
    HWND found = nullptr;
    Print(Measure("find content", 31, 200, [&] { FindContentWindow(&tabBrowser, &found); }));
    if (found != content) std::printf("  (unexpected: content window not found)\n");

    Print(Measure("save zoom factor", 31, 200, [] { SaveZoomFactor(100); }));

    pinchwell::ComPtr<IWebBrowser2> wine;
    if (SUCCEEDED(::CoCreateInstance(comid::kWebBrowserClass, nullptr, CLSCTX_INPROC_SERVER, comid::kWebBrowser2,
                                     wine.put_void()))) {
        Print(Measure("set zoom (Wine WB)", 31, 200, [&] { SetBrowserZoom(wine.get(), 100); }));
        Print(Measure("get zoom (Wine WB)", 31, 200, [&] {
            int percent = 0;
            GetBrowserZoom(wine.get(), &percent);
        }));
    } else {
        std::printf("set/get zoom         skipped: no WebBrowser object\n");
    }

    substitute::WebBrowser page;
    substitute::Document document;
    substitute::ImageCollection images;
    substitute::Element elements[3];
    page.document = &document;
    document.images = &images;
    for (auto& e : elements) images.items.push_back(&e);
    Print(Measure("images ready", 31, 1000, [&] { ArePageImagesReady(page.AsBrowser()); }));

    ThreadTable<CZoomPreview*> table;
    for (std::uint32_t id = 1; id <= 8; ++id) table.Add(id * 100, reinterpret_cast<CZoomPreview*>(&table));
    volatile bool hit = false;
    Print(Measure("thread lookup", 31, 100000, [&] { hit = table.Lookup(800) != nullptr; }));

    ::DestroyWindow(frame);
    return 0;
}

// Times the pinch start under Wine (or Windows) and prints median times. Not a test: it is
// built with the Windows flavour and run by hand on a display, in the build's Wine prefix
// (whose virtual desktop is 1280x1024), for example:
//
//   Xvfb :77 -screen 0 1280x1024x24 -nolisten tcp &
//   DISPLAY=:77 scripts/wine-run.sh build/win64/wineprefix build/win64/addon/bench/wine/addon_bench.exe
//
// The capture: FindContentWindow over a tab's window tree, then a screen copy of a content
// window whose client area is 1280 by 1000 pixels, written as a PNG file, for a page of
// text and for a photograph (a picture that no PNG filter or deflate makes much smaller).
// The ways of writing it are timed interleaved, round by round, so that all see the same
// machine:
//   zlib, stored blocks    SaveWindowImage: the DIB section's rows written as stored blocks
//                          by the PNG writer (its own since it stopped using zlib's deflate
//                          for them; the lines keep their names so that runs compare)
//   GDI+, start/stop       CaptureClientArea and SaveBitmapFile: GDI+'s PNG encoder, GDI+
//                          started and shut down around each save
//   GDI+ kept running      the same with one GdiplusSession around all rounds
// and, to show where the time goes, the screen copy alone, the search alone and the PNG
// file alone from a picture already copied. A frame at 60 Hz is 16.7 ms. Before all that
// it prints how often an idle tab's preview object wakes its thread (timer messages), and
// what each pass over the picture's bytes costs: the row conversion, zlib's stored
// deflate, Adler-32 and CRC-32, and the sink's copy, each alone, with zlib's code and with
// every set of the writer's own (those the processor runs).
//
// Adding a measurement: a Section is a list of named operations run interleaved for
// kRounds rounds after one warm-up round; RunSection prints their medians.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cwchar>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <pinchwell/UniqueHandle.h>

#include <zlib.h>

#include "AddonState.h"
#include "BenchSamples.h"
#include "GdiplusImage.h"
#include "PageCapture.h"
#include "PngFile.h"
#include "PngKernels.h"
#include "ZoomPreview.h"
#include "SubstituteBrowser.h"
#include "TestWindows.h"

namespace {

constexpr int kClientWidth = 1280;
constexpr int kClientHeight = 1000;
constexpr int kRounds = 41;
constexpr double kFrameMs = 1000.0 / 60.0;

double Milliseconds(std::chrono::steady_clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

struct Operation {
    Samples samples;
    std::function<void()> run;
};

using Section = std::vector<Operation>;

// One untimed round, then kRounds rounds of every operation in turn.
void RunSection(const char* title, Section& section) {
    for (Operation& op : section) op.run();
    for (int round = 0; round < kRounds; ++round) {
        for (Operation& op : section) {
            auto start = std::chrono::steady_clock::now();
            op.run();
            op.samples.values.push_back(Milliseconds(std::chrono::steady_clock::now() - start));
        }
    }
    std::printf("%s\n", title);
    for (const Operation& op : section) op.samples.Print();
}

using testwindows::Child;
using testwindows::Module;

// What the content window shows.
enum class Page { Text, Photo };
Page shownPage = Page::Text;

// A photograph-like picture: smooth colour fields with grain in every pixel, so that
// neither runs nor a small alphabet make it cheap to compress.
std::vector<DWORD> PhotoPixels() {
    std::vector<DWORD> pixels(static_cast<std::size_t>(kClientWidth) * kClientHeight);
    unsigned seed = 12345;
    auto grain = [&seed](int range) {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<int>((seed >> 16) % static_cast<unsigned>(range));
    };
    for (int y = 0; y < kClientHeight; ++y)
        for (int x = 0; x < kClientWidth; ++x) {
            int r = static_cast<int>(120 + 90 * std::sin(x * 0.011 + y * 0.007)) + grain(30);
            int g = static_cast<int>(110 + 80 * std::cos(x * 0.005 - y * 0.013)) + grain(30);
            int b = y * 200 / kClientHeight + grain(40);
            pixels[static_cast<std::size_t>(y) * kClientWidth + x] =
                static_cast<DWORD>(std::min(r, 255) << 16 | std::min(g, 255) << 8 | std::min(b, 255));
        }
    return pixels;
}

void PaintText(HDC dc, const RECT& client) {
    ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    const wchar_t line[] = L"Pinchwell zoom preview benchmark: the quick brown fox jumps over the lazy dog 0123456789";
    for (int y = 8, n = 0; y < client.bottom; y += 18, ++n)
        ::TextOutW(dc, 12 + (n % 7) * 9, y, line, static_cast<int>(std::wcslen(line)));
    for (int i = 0; i < 12; ++i) {
        pinchwell::UniqueGdiObject brush(::CreateSolidBrush(RGB(40 * i % 256, 90 + 13 * i, 200 - 15 * i)));
        RECT block = {900 + (i % 3) * 110, 40 + (i / 3) * 220, 990 + (i % 3) * 110, 200 + (i / 3) * 220};
        ::FillRect(dc, &block, static_cast<HBRUSH>(brush.get()));
    }
}

void PaintPhoto(HDC dc) {
    static const std::vector<DWORD> photo = PhotoPixels();
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kClientWidth;
    info.bmiHeader.biHeight = -kClientHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::SetDIBitsToDevice(dc, 0, 0, kClientWidth, kClientHeight, 0, 0, 0, kClientHeight, photo.data(), &info,
                        DIB_RGB_COLORS);
}

LRESULT CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return ::DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window, &paint);
    RECT client;
    ::GetClientRect(window, &client);
    if (shownPage == Page::Text)
        PaintText(dc, client);
    else
        PaintPhoto(dc);
    ::EndPaint(window, &paint);
    return 0;
}

void Register(const wchar_t* name, WNDPROC procedure = ::DefWindowProcW) {
    testwindows::Register(name, procedure, testwindows::WindowBrush(), nullptr);
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

unsigned long FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA file = {};
    return ::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &file) ? file.nFileSizeLow : 0;
}

// A tab like the browser's: shell window, toolbars, document view, the content window
// filling the screen's width, and one child of the page.
struct Tab {
    pinchwell::UniqueWindow shell;
    HWND content = nullptr;
    Tab() {
        for (const wchar_t* name : {L"TabWindowClass", L"ReBarWindow32", L"Shell DocObject View",
                                    L"Internet Explorer_TridentCmboBx"})
            Register(name);
        Register(L"Internet Explorer_Server", PageProc);
        shell.reset(::CreateWindowExW(0, L"TabWindowClass", nullptr, WS_POPUP | WS_VISIBLE, 0, 0, kClientWidth,
                                      kClientHeight + 24, nullptr, nullptr, Module(), nullptr));
        for (int i = 0; i < 3; ++i) Child(L"ReBarWindow32", shell.get(), 0, i * 8, kClientWidth, 8);
        HWND view = Child(L"Shell DocObject View", shell.get(), 0, 24, kClientWidth, kClientHeight);
        content = Child(L"Internet Explorer_Server", view, 0, 0, kClientWidth, kClientHeight);
        Child(L"Internet Explorer_TridentCmboBx", content, 10, 10, 100, 20);
        Pump();
    }
    void Show(Page page) {
        shownPage = page;
        ::InvalidateRect(content, nullptr, TRUE);
        ::UpdateWindow(content);
        Pump();
    }
};

// The pinch start's capture of one page, written by each encoder.
void MeasureCapture(Tab& tab, const char* pageName) {
    SubstituteBrowser browser;
    browser.shellWindow = tab.shell.get();
    const std::wstring zlibPng = TempFile(L"pinchwell-bench-zlib.png");
    const std::wstring gdiplusPng = TempFile(L"pinchwell-bench-gdiplus.png");
    int width = 0, height = 0;
    auto find = [&browser] {
        HWND found = nullptr;
        FindContentWindow(&browser, &found);
        return found;
    };
    GdiplusSession running;  // the kept-running variant's session, from before its first round
    ScreenPicture copied(RECT{2, 26, kClientWidth - 20, kClientHeight + 4});
    std::vector<std::uint8_t> inMemory;
    inMemory.reserve(8 << 20);

    Section section = {
        {{"zlib, stored blocks", "ms"}, [&] { SaveWindowImage(find(), zlibPng, &width, &height); }},
        {{"GDI+, start/stop", "ms"}, [&] {
             pinchwell::UniqueGdiObject bitmap(CaptureClientArea(find(), &width, &height));
             SaveBitmapFile(static_cast<HBITMAP>(bitmap.get()), gdiplusPng);
         }},
        {{"GDI+ kept running", "ms"}, [&] {
             pinchwell::UniqueGdiObject bitmap(CaptureClientArea(find(), &width, &height));
             SaveBitmapFile(running, static_cast<HBITMAP>(bitmap.get()), gdiplusPng);
         }},
        {{"find + screen copy only", "ms"}, [&] { CaptureClientPicture(find(), &width, &height); }},
        {{"find only", "ms"}, [&] { find(); }},
        {{"zlib PNG file only (no copy)", "ms"}, [&] { SavePngFile(copied.Pixels(), zlibPng); }},
        {{"zlib PNG into memory only", "ms"}, [&] {
             inMemory.clear();
             WritePng(copied.Pixels(), PngCompression::Stored, [&](const std::uint8_t* data, std::size_t size) {
                 inMemory.insert(inMemory.end(), data, data + size);
                 return true;
             });
         }},
    };
    std::string title = std::string("Pinch-start capture, ") + pageName + ":";
    RunSection(title.c_str(), section);
    if (width != kClientWidth - 22 || height != kClientHeight - 22)
        std::printf("  (unexpected picture size %dx%d)\n", width, height);
    double zlib = section[0].samples.Median(), gdiplus = section[1].samples.Median();
    std::printf("  zlib / GDI+ start/stop: %.2f; zlib within a frame (%.1f ms): %s\n", zlib / gdiplus, kFrameMs,
                zlib <= kFrameMs ? "yes" : "no");
    std::printf("  PNG files: zlib %lu bytes, GDI+ %lu bytes\n", FileSize(zlibPng), FileSize(gdiplusPng));
    ::DeleteFileW(zlibPng.c_str());
    ::DeleteFileW(gdiplusPng.c_str());
}

// Each pass over the bytes of a picture written as a stored PNG, alone.
void MeasurePngPasses(const BgrxPixels& pixels) {
    const std::size_t rowBytes = 1 + 3 * std::size_t{pixels.width};
    std::vector<std::uint8_t> imageData(rowBytes * pixels.height);
    std::vector<std::uint8_t> batch(64 * 1024), deflated(128 * 1024), inMemory;
    inMemory.reserve(8 << 20);
    auto convert = [&](const PngKernels& kernels, std::uint8_t* to, std::size_t step) {
        for (std::uint32_t y = 0; y < pixels.height; ++y)
            kernels.convertRow(pixels.Row(y), pixels.width, to + (y * rowBytes) % step + 1);
    };
    convert(AllPngKernels().front(), imageData.data(), imageData.size());
    volatile std::uint32_t checksum = 0;
    Section section = {
        {{"rows converted, portable", "ms"}, [&] { convert(AllPngKernels().front(), batch.data(), batch.size() - rowBytes); }},
        {{"zlib stored deflate (no Adler)", "ms"}, [&] {
             z_stream z = {};
             ::deflateInit2(&z, 0, Z_DEFLATED, -15, 8, Z_DEFAULT_STRATEGY);
             z.next_in = imageData.data();
             z.avail_in = static_cast<uInt>(imageData.size());
             do {
                 z.next_out = deflated.data();
                 z.avail_out = static_cast<uInt>(deflated.size());
             } while (::deflate(&z, Z_FINISH) == Z_OK);
             ::deflateEnd(&z);
         }},
        {{"zlib adler32", "ms"}, [&] { checksum = ::adler32_z(1, imageData.data(), imageData.size()); }},
        {{"zlib crc32", "ms"}, [&] { checksum = ::crc32_z(0, imageData.data(), imageData.size()); }},
        {{"sink: appended to memory", "ms"}, [&] {
             inMemory.clear();
             inMemory.insert(inMemory.end(), imageData.begin(), imageData.end());
         }},
    };
    const CpuFeatures features = DetectCpuFeatures();
    for (const PngKernels& kernels : AllPngKernels()) {
        if (!Runs(features, kernels) || &kernels == &AllPngKernels().front()) continue;
        const std::string name = kernels.name;
        section.push_back({{"rows converted, " + name, "ms"}, [&] { convert(kernels, batch.data(), batch.size() - rowBytes); }});
        section.push_back({{"Adler-32, " + name, "ms"}, [&] { checksum = kernels.adler32(1, imageData.data(), imageData.size()); }});
        section.push_back({{"CRC-32, " + name, "ms"}, [&] { checksum = kernels.crc32(0, imageData.data(), imageData.size()); }});
    }
    const std::string title = "Each pass over the image data alone, " + std::to_string(imageData.size()) +
                              " bytes (the writer chooses " + BestPngKernels().name + "):";
    RunSection(title.c_str(), section);
}

}  // namespace

// How often an idle tab's preview wakes its thread: timer messages of its hidden window
// over two seconds without a pinch.
void MeasureIdleWakeUps() {
    auto preview = std::make_unique<CZoomPreview>();
    const int timers = testwindows::TimerMessages(preview->GetPreviewWindow(), 2000);
    std::printf("Idle tab: %.1f timer wake-ups per second (the idle timer ticking would be 100)\n", timers / 2.0);
}

int main() {
    MeasureIdleWakeUps();
    Tab tab;
    RECT client = {};
    ::GetClientRect(tab.content, &client);
    std::printf("Content client area %ldx%ld, picture %ldx%ld, %d rounds\n", client.right, client.bottom,
                client.right - 22, client.bottom - 22, kRounds);
    tab.Show(Page::Text);
    MeasurePngPasses(ScreenPicture(RECT{2, 26, kClientWidth - 20, kClientHeight + 4}).Pixels());
    MeasureCapture(tab, "text page");
    tab.Show(Page::Photo);
    MeasureCapture(tab, "photograph");
    return 0;
}

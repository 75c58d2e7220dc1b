// The page capture with real windows on the display: the content window search over a window
// tree with the browser's class names, and the screen capture to a PNG file.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include <pinchwell/AnsiText.h>
#include <pinchwell/UniqueHandle.h>

#include "AddonState.h"
#include "ImageFiles.h"
#include "PageCapture.h"
#include "SubstituteBrowser.h"
#include "Substitutes.h"
#include "TestFiles.h"
#include "TestWindows.h"

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr DWORD kRedPixel = 0xFF0000, kBluePixel = 0x0000FF, kBlackPixel = 0;

using testwindows::Module;
using testwindows::Register;

HWND Child(const wchar_t* className, HWND parent, int x, int y, int width, int height) {
    Register(className);
    return testwindows::Child(className, parent, x, y, width, height);
}

// Lets the windows paint and the display catch up.
void Settle() {
    for (int i = 0; i < 20; ++i) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::Sleep(10);
    }
}

// A browser tab's windows: the shell window, the document view, the content window and a
// windowed Flash player inside the page.
struct TabWindows {
    pinchwell::UniqueWindow shell;
    HWND view = nullptr, content = nullptr, flash = nullptr;
    TabWindows() {
        Register(L"TabWindowClass");
        shell.reset(::CreateWindowExW(0, L"TabWindowClass", L"tab", WS_POPUP, 0, 0, 900, 700, nullptr, nullptr,
                                      Module(), nullptr));
        view = Child(L"Shell DocObject View", shell.get(), 0, 0, 880, 680);
        content = Child(L"Internet Explorer_Server", view, 0, 0, 800, 600);
        flash = Child(L"MacromediaFlashPlayerActiveX", content, 10, 10, 300, 200);
    }
};

bool HasVisibleStyle(HWND window) { return (::GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) != 0; }

struct ClassSearch {
    const wchar_t* name;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectOfClass(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<ClassSearch*>(parameter);
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    if (lstrcmpiW(name, search->name) == 0) search->found.push_back(window);
    return TRUE;
}

// The descendants of a class in the platform's enumeration order.
std::vector<HWND> DescendantsOfClass(HWND parent, const wchar_t* className) {
    ClassSearch search{className, {}};
    ::EnumChildWindows(parent, CollectOfClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class FindContentWindowTest : public ::testing::Test {
protected:
    TabWindows tab;
    SubstituteBrowser browser;
};

}  // namespace

TEST_F(FindContentWindowTest, FindsTheInternetExplorerServerBelowTheShellWindow) {
    browser.shellWindow = tab.shell.get();
    HWND found = nullptr;
    EXPECT_EQ(FindContentWindow(&browser, &found), S_OK);
    EXPECT_EQ(found, tab.content);
}

TEST_F(FindContentWindowTest, GoesThroughTheShellBrowserServiceOfAnIWebBrowser2) {
    substitute::WebBrowser web;
    substitute::OleWindow shell;
    shell.window = tab.shell.get();
    web.shellView = &shell;
    HWND window = nullptr;
    EXPECT_EQ(GetBrowserShellWindow(web.AsBrowser(), &window), S_OK);
    EXPECT_EQ(window, tab.shell.get());
    HWND found = nullptr;
    EXPECT_EQ(FindContentWindow(web.AsBrowser(), &found), S_OK);
    EXPECT_EQ(found, tab.content);
    EXPECT_EQ(web.refs, 1u);
    EXPECT_EQ(shell.refs, 1u);
}

TEST_F(FindContentWindowTest, HidesEveryFlashPlayerAndItStaysHidden) {
    HWND secondFlash = Child(L"MacromediaFlashPlayerActiveX", tab.view, 0, 620, 100, 50);
    browser.shellWindow = tab.shell.get();
    ASSERT_TRUE(HasVisibleStyle(tab.flash));
    HWND found = nullptr;
    FindContentWindow(&browser, &found);
    EXPECT_FALSE(HasVisibleStyle(tab.flash));
    EXPECT_FALSE(HasVisibleStyle(secondFlash));
    FindContentWindow(&browser, &found);
    EXPECT_FALSE(HasVisibleStyle(tab.flash));
    EXPECT_TRUE(HasVisibleStyle(tab.content));  // nothing else is touched
}

TEST_F(FindContentWindowTest, OfTwoContentWindowsTheLaterInEnumerationOrderWins) {
    HWND second = Child(L"Internet Explorer_Server", tab.view, 0, 0, 400, 300);
    std::vector<HWND> order = DescendantsOfClass(tab.shell.get(), L"Internet Explorer_Server");
    ASSERT_EQ(order.size(), 2u);
    ASSERT_NE(std::find(order.begin(), order.end(), second), order.end());
    ASSERT_TRUE(HasVisibleStyle(tab.flash));
    browser.shellWindow = tab.shell.get();
    HWND found = nullptr;
    EXPECT_EQ(FindContentWindow(&browser, &found), S_OK);
    EXPECT_EQ(found, order.back());
    EXPECT_NE(found, order.front());
    EXPECT_FALSE(HasVisibleStyle(tab.flash));  // the same search hides the Flash player
}

TEST_F(FindContentWindowTest, ATabWithoutContentWindowGetsNoneNotAnotherTabs) {
    browser.shellWindow = tab.shell.get();
    HWND found = nullptr;
    ASSERT_EQ(FindContentWindow(&browser, &found), S_OK);
    ASSERT_EQ(found, tab.content);  // an earlier search of another tab
    Register(L"TabWindowClass");
    pinchwell::UniqueWindow other(::CreateWindowExW(0, L"TabWindowClass", L"other tab", WS_POPUP, 0, 0, 100, 100,
                                                    nullptr, nullptr, Module(), nullptr));
    Child(L"Shell DocObject View", other.get(), 0, 0, 50, 50);
    browser.shellWindow = other.get();
    EXPECT_EQ(FindContentWindow(&browser, &found), S_OK);
    EXPECT_EQ(found, nullptr);
}

TEST_F(FindContentWindowTest, WithoutAShellWindowTheFailureIsReturnedAndNothingWritten) {
    browser.shellResult = E_NOINTERFACE;
    HWND found = reinterpret_cast<HWND>(0x99);
    EXPECT_EQ(FindContentWindow(&browser, &found), E_NOINTERFACE);
    EXPECT_EQ(found, reinterpret_cast<HWND>(0x99));
    EXPECT_TRUE(HasVisibleStyle(tab.flash));
}

TEST_F(FindContentWindowTest, ANullShellWindowSearchesNothing) {
    browser.shellWindow = nullptr;  // the query succeeds but names no window
    HWND found = reinterpret_cast<HWND>(0x99);
    EXPECT_EQ(FindContentWindow(&browser, &found), E_FAIL);
    EXPECT_EQ(found, reinterpret_cast<HWND>(0x99));
}

namespace {

// A borderless window whose client area shows red, with a 20-pixel green band at the
// right and the bottom, a green pixel at (1, 1) and blue pixels at (2, 2) and at the last
// pixel that the capture takes, (width - 21, height - 21).
LRESULT CALLBACK PaintedProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return ::DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window, &paint);
    RECT client;
    ::GetClientRect(window, &client);
    auto fill = [dc](RECT r, COLORREF colour) {
        HBRUSH brush = ::CreateSolidBrush(colour);
        ::FillRect(dc, &r, brush);
        ::DeleteObject(brush);
    };
    fill(client, kRed);
    fill({client.right - 20, 0, client.right, client.bottom}, kGreen);
    fill({0, client.bottom - 20, client.right, client.bottom}, kGreen);
    ::SetPixel(dc, 1, 1, kGreen);
    ::SetPixel(dc, 2, 2, kBlue);
    ::SetPixel(dc, client.right - 21, client.bottom - 21, kBlue);
    ::EndPaint(window, &paint);
    return 0;
}

class CaptureTest : public ::testing::Test {
protected:
    void SetUp() override {
        Register(L"PinchwellCaptureTest", PaintedProc);
        path = pinchwell::AnsiToWide(folder.File("temp.png"));
        pinchwell::WindowDC screen(nullptr);
        screenWidth = ::GetDeviceCaps(screen.get(), HORZRES);
        screenHeight = ::GetDeviceCaps(screen.get(), VERTRES);
    }
    HWND Show(int x, int y, int width, int height) {
        window.reset(::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"PinchwellCaptureTest", nullptr,
                                       WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr, nullptr, Module(),
                                       nullptr));
        ::UpdateWindow(window.get());
        Settle();
        return window.get();
    }

    TestFolder folder;
    std::wstring path;
    pinchwell::UniqueWindow window;
    int screenWidth = 0, screenHeight = 0;
};

}  // namespace

TEST_F(CaptureTest, An800By600ClientAreaGivesA778By578PictureFromItsOriginPlus2) {
    HWND shown = Show(100, 80, 800, 600);
    int width = 0, height = 0;
    SaveWindowImage(shown, path, &width, &height);
    EXPECT_EQ(width, 778);
    EXPECT_EQ(height, 578);
    ImageFile file = ReadImageFile(path);
    EXPECT_EQ(file.format, "png");
    EXPECT_EQ(file.width, 778u);
    EXPECT_EQ(file.height, 578u);
    EXPECT_EQ(ImagePixel(path, 0, 0), kBluePixel) << "the picture starts at client (2, 2)";
    EXPECT_EQ(ImagePixel(path, 1, 1), kRedPixel);
    EXPECT_EQ(ImagePixel(path, 777, 577), kBluePixel) << "and ends 21 pixels in from the right and bottom";
    EXPECT_EQ(ImagePixel(path, 777, 300), kRedPixel) << "no part of the 20-pixel bands";
}

TEST_F(CaptureTest, AWindowReachingLeftOfTheOnlyMonitorIsPicturedWholeWithThatPartBlack) {
    HWND shown = Show(-100, 80, 800, 600);
    int width = 0, height = 0;
    SaveWindowImage(shown, path, &width, &height);
    EXPECT_EQ(width, 778);
    EXPECT_EQ(height, 578);
    ImageFile file = ReadImageFile(path);
    EXPECT_EQ(file.width, 778u);  // the size the page is told
    EXPECT_EQ(file.height, 578u);
    EXPECT_EQ(ImagePixel(path, 97, 100), kBlackPixel) << "left of the screen";
    EXPECT_EQ(ImagePixel(path, 98, 100), kRedPixel) << "the screen's x = 0 at its own offset";
}

TEST_F(CaptureTest, AWindowReachingPastTheRightAndBottomEdgesIsPicturedWholeWithThatPartBlack) {
    HWND shown = Show(screenWidth - 400, screenHeight - 300, 800, 600);
    int width = 0, height = 0;
    SaveWindowImage(shown, path, &width, &height);
    EXPECT_EQ(width, 778);
    EXPECT_EQ(height, 578);
    ImageFile file = ReadImageFile(path);
    EXPECT_EQ(file.width, 778u);
    EXPECT_EQ(file.height, 578u);
    EXPECT_EQ(ImagePixel(path, 0, 0), kBluePixel);
    EXPECT_EQ(ImagePixel(path, 397, 100), kRedPixel) << "from client x 2 to the screen edge";
    EXPECT_EQ(ImagePixel(path, 398, 100), kBlackPixel);
    EXPECT_EQ(ImagePixel(path, 100, 298), kBlackPixel) << "below the screen";
}

namespace {

ScreenRect desktopToGive;
ScreenRect GiveTestDesktop() { return desktopToGive; }

// The capture with the desktop's metrics replaced by the test's.
class DesktopCaptureTest : public CaptureTest {
protected:
    void SetUp() override {
        CaptureTest::SetUp();
        previous_ = SetDesktopSource(GiveTestDesktop);
    }
    void TearDown() override { SetDesktopSource(previous_); }

private:
    DesktopSource previous_ = nullptr;
};

}  // namespace

TEST_F(DesktopCaptureTest, OnlyWhatLiesOnTheDesktopIsCopiedAndThatAtItsOffset) {
    HWND shown = Show(100, 80, 800, 600);  // the capture: (102, 82) to (880, 660)
    // As if no monitor showed the screen left of x = 300 or above y = 200.
    desktopToGive = {300, 200, screenWidth, screenHeight};
    int width = 0, height = 0;
    ASSERT_EQ(SaveWindowImage(shown, path, &width, &height), S_OK);
    EXPECT_EQ(width, 778);
    ImageFile file = ReadImageFile(path);
    EXPECT_EQ(file.width, 778u);
    EXPECT_EQ(file.height, 578u);
    EXPECT_EQ(ImagePixel(path, 197, 200), kBlackPixel);
    EXPECT_EQ(ImagePixel(path, 198, 200), kRedPixel);
    EXPECT_EQ(ImagePixel(path, 300, 117), kBlackPixel);
    EXPECT_EQ(ImagePixel(path, 300, 118), kRedPixel);
    EXPECT_EQ(ImagePixel(path, 777, 577), kBluePixel);
}

TEST_F(CaptureTest, EveryCaptureRewritesTheFile) {
    HWND shown = Show(100, 80, 400, 300);
    int width = 0, height = 0;
    SaveWindowImage(shown, path, &width, &height);
    EXPECT_EQ(ReadImageFile(path).width, 378u);
    ::SetWindowPos(shown, nullptr, 0, 0, 300, 200, SWP_NOMOVE | SWP_NOZORDER);
    Settle();
    SaveWindowImage(shown, path, &width, &height);
    EXPECT_EQ(width, 278);
    EXPECT_EQ(ReadImageFile(path).width, 278u);
}

TEST_F(CaptureTest, ANullWindowWritesNoFileAndReportsAnEmptyPicture) {
    WriteFileBytes(folder.File("temp.png"), "previous");
    int width = 5, height = 5;
    EXPECT_EQ(CaptureClientArea(nullptr, &width, &height), nullptr);
    EXPECT_EQ(width, 5);  // not written
    EXPECT_EQ(height, 5);
    SaveWindowImage(nullptr, path, &width, &height);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    EXPECT_EQ(FileBytes(path), "previous");
}

TEST_F(CaptureTest, AWindowTooSmallToCaptureWritesNoFile) {
    HWND shown = Show(100, 80, 22, 300);
    WriteFileBytes(folder.File("temp.png"), "previous");
    int width = 5, height = 5;
    EXPECT_EQ(CaptureClientArea(shown, &width, &height), nullptr);
    EXPECT_EQ(width, 0);  // written before the rectangle is found empty
    EXPECT_EQ(height, 278);
    SaveWindowImage(shown, path, &width, &height);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    EXPECT_EQ(FileBytes(path), "previous");
}

TEST_F(CaptureTest, TheContentWindowFoundForATabIsWhatIsCaptured) {
    // The pinch start's path: FindContentWindow, then SaveWindowImage of what it found.
    Register(L"Internet Explorer_Server");
    HWND shown = Show(60, 40, 820, 640);
    HWND content = ::CreateWindowExW(0, L"Internet Explorer_Server", nullptr, WS_CHILD | WS_VISIBLE, 10, 20, 800,
                                     600, shown, nullptr, Module(), nullptr);
    Settle();
    SubstituteBrowser browser;
    browser.shellWindow = shown;
    HWND found = nullptr;
    ASSERT_EQ(FindContentWindow(&browser, &found), S_OK);
    ASSERT_EQ(found, content);
    int width = 0, height = 0;
    SaveWindowImage(found, path, &width, &height);
    EXPECT_EQ(width, 778);
    EXPECT_EQ(height, 578);
    ImageFile file = ReadImageFile(path);
    EXPECT_EQ(file.width, 778u);
    EXPECT_EQ(file.height, 578u);
}

namespace {

constexpr int kPatternWidth = 640, kPatternHeight = 480;

// A different colour in nearly every pixel, all 24 bits used, so that a swapped channel,
// a shifted row or a lost bit shows.
const std::vector<DWORD>& Pattern() {
    static const std::vector<DWORD> pattern = [] {
        std::vector<DWORD> pixels(static_cast<std::size_t>(kPatternWidth) * kPatternHeight);
        unsigned seed = 99;
        for (DWORD& pixel : pixels) {
            seed = seed * 1664525u + 1013904223u;
            pixel = seed >> 8;
        }
        return pixels;
    }();
    return pattern;
}

LRESULT CALLBACK PatternProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WM_PAINT) return ::DefWindowProcW(window, message, wParam, lParam);
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(window, &paint);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(info.bmiHeader);
    info.bmiHeader.biWidth = kPatternWidth;
    info.bmiHeader.biHeight = -kPatternHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    ::SetDIBitsToDevice(dc, 0, 0, kPatternWidth, kPatternHeight, 0, 0, 0, kPatternHeight, Pattern().data(), &info,
                        DIB_RGB_COLORS);
    ::EndPaint(window, &paint);
    return 0;
}

// The pixels of a screen rectangle as 0xRRGGBB, row by row from the top.
std::vector<DWORD> ScreenPixels(const RECT& rect) {
    ScreenPicture copy(rect);
    std::vector<DWORD> pixels;
    BgrxPixels rows = copy.Pixels();
    for (std::uint32_t y = 0; y < rows.height; ++y) {
        auto* row = reinterpret_cast<const DWORD*>(rows.Row(y));
        for (std::uint32_t x = 0; x < rows.width; ++x) pixels.push_back(row[x] & 0xFFFFFF);
    }
    return pixels;
}

class PatternCaptureTest : public CaptureTest {
protected:
    HWND ShowPattern(int x, int y) {
        Register(L"PinchwellPatternTest", PatternProc);
        window.reset(::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"PinchwellPatternTest", nullptr,
                                       WS_POPUP | WS_VISIBLE, x, y, kPatternWidth, kPatternHeight, nullptr, nullptr,
                                       Module(), nullptr));
        ::UpdateWindow(window.get());
        Settle();
        return window.get();
    }
};

// The first pixel where two pictures of the given width differ, or "".
std::string FirstDifference(const std::vector<DWORD>& a, const std::vector<DWORD>& b, UINT width) {
    if (a.size() != b.size()) return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size());
    for (std::size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return "pixel (" + std::to_string(i % width) + ", " + std::to_string(i / width) + ")";
    return "";
}

}  // namespace

TEST_F(PatternCaptureTest, ThePngFileDecodesToExactlyThePixelsTheScreenShowed) {
    HWND shown = ShowPattern(120, 90);
    int width = 0, height = 0;
    SaveWindowImage(shown, path, &width, &height);
    ASSERT_EQ(width, kPatternWidth - 22);
    ASSERT_EQ(height, kPatternHeight - 22);
    EXPECT_EQ(ReadImageFile(path).format, "png");
    UINT fileWidth = 0, fileHeight = 0;
    std::vector<DWORD> file = ImagePixels(path, &fileWidth, &fileHeight);
    EXPECT_EQ(fileWidth, static_cast<UINT>(width));
    EXPECT_EQ(fileHeight, static_cast<UINT>(height));
    std::vector<DWORD> screen = ScreenPixels(RECT{122, 92, 122 + width, 92 + height});
    EXPECT_EQ(FirstDifference(file, screen, fileWidth), "");

    std::vector<DWORD> painted;  // what the window painted, from its client (2, 2) on
    for (int y = 2; y < kPatternHeight - 20; ++y)
        for (int x = 2; x < kPatternWidth - 20; ++x)
            painted.push_back(Pattern()[static_cast<std::size_t>(y) * kPatternWidth + x] & 0xFFFFFF);
    EXPECT_EQ(FirstDifference(file, painted, fileWidth), "") << "the screen shows the pattern unchanged";
}

TEST_F(PatternCaptureTest, OtherExtensionsAreStillWrittenByGdiplus) {
    HWND shown = ShowPattern(120, 90);
    std::wstring bmp = pinchwell::AnsiToWide(folder.File("temp.bmp"));
    int width = 0, height = 0;
    SaveWindowImage(shown, bmp, &width, &height);
    ImageFile file = ReadImageFile(bmp);
    EXPECT_EQ(file.format, "bmp");
    EXPECT_EQ(file.width, static_cast<UINT>(kPatternWidth - 22));
    EXPECT_EQ(ImagePixel(bmp, 0, 0), Pattern()[2 * kPatternWidth + 2] & 0xFFFFFF);
}

// The preview object with real windows and timers: its two windows, the pinch delivered as
// WM_GESTURE messages, the show and hide rules of the three timers, and teardown.
//
// The tab is a substitute IWebBrowser2 whose shell window is a real window tree with an
// "Internet Explorer_Server" window; the preview control is a substitute browser put in
// place of Wine's WebBrowser control (which never finishes a page), so that its page's
// picture can be made ready or not and its scripts and zoom read back. Gestures are read
// through a test reader, and the idle timer's clock is the test's.
#include <gtest/gtest.h>

#include <windows.h>
#include <urlmon.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <pinchwell/AnsiText.h>
#include <pinchwell/ComInit.h>
#include <pinchwell/ComPtr.h>
#include <pinchwell/UniqueHandle.h>

#include "AddonState.h"
#include "ControlHost.h"
#include "GestureReader.h"
#include "ImageFiles.h"
#include "InputClock.h"
#include "ProgramFolder.h"
#include "Substitutes.h"
#include "TestFiles.h"
#include "TestWindows.h"
#include "ZoomPreview.h"

namespace {

// --- The test's gesture reader: handles stand for the gestures registered here.
std::map<HGESTUREINFO, GESTUREINFO> gestures;
std::vector<HGESTUREINFO> closedHandles;
std::uintptr_t nextHandle = 0x7000;

BOOL WINAPI ReadTestGesture(HGESTUREINFO handle, PGESTUREINFO info) {
    auto found = gestures.find(handle);
    if (found == gestures.end()) return FALSE;
    *info = found->second;
    return TRUE;
}
BOOL WINAPI CloseTestGesture(HGESTUREINFO handle) {
    closedHandles.push_back(handle);
    return TRUE;
}

// --- The test's input clock.
DWORD clockNow = 50'000;
DWORD clockLastInput = 50'000;
int clockReads = 0;
BOOL WINAPI TestLastInput(PLASTINPUTINFO info) {
    ++clockReads;
    info->dwTime = clockLastInput;
    return TRUE;
}
DWORD WINAPI TestTickCount() { return clockNow; }

// --- The test's preview control factory.
IUnknown* controlToGive = nullptr;
HRESULT controlResult = S_OK;
struct FactoryCall {
    HWND host;
    std::wstring clsid;
};
std::vector<FactoryCall> factoryCalls;
HRESULT GiveTestControl(HWND host, const wchar_t* clsid, IUnknown** control) {
    factoryCalls.push_back({host, clsid});
    *control = nullptr;
    if (FAILED(controlResult)) return controlResult;
    *control = controlToGive;
    if (controlToGive) controlToGive->AddRef();
    return S_OK;
}

using testwindows::TimerMessages;
using testwindows::Module;

// Runs the thread's messages (and so its timers) until done() or the time is up.
bool PumpUntil(const std::function<bool()>& done, int milliseconds = 3000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (std::chrono::steady_clock::now() >= end) return false;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 2, QS_ALLINPUT);
    }
}
void PumpFor(int milliseconds) { PumpUntil([] { return false; }, milliseconds); }

bool Visible(HWND window) { return ::IsWindowVisible(window) != FALSE; }

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}
std::wstring TitleOf(HWND window) {
    wchar_t title[64] = {};
    ::GetWindowTextW(window, title, 64);
    return title;
}
LONG_PTR StyleOf(HWND window) { return ::GetWindowLongPtrW(window, GWL_STYLE); }
LONG_PTR ExStyleOf(HWND window) { return ::GetWindowLongPtrW(window, GWL_EXSTYLE); }

void RegisterPlainClass(const wchar_t* name) {
    testwindows::Register(name, ::DefWindowProcW, testwindows::WindowBrush(), nullptr);
}

// A tab's windows away from the screen's corner: the shell window at (100, 80), 900 by
// 700, and its content window at (30, 40) inside it with a client area of 800 by 600.
struct TabWindows {
    pinchwell::UniqueWindow shell;
    HWND content = nullptr;
    TabWindows() {
        RegisterPlainClass(L"PreviewTestTab");
        RegisterPlainClass(L"Internet Explorer_Server");
        shell.reset(::CreateWindowExW(0, L"PreviewTestTab", L"tab", WS_POPUP | WS_VISIBLE, 100, 80, 900, 700, nullptr,
                                      nullptr, Module(), nullptr));
        content = testwindows::Child(L"Internet Explorer_Server", shell.get(), 30, 40, 800, 600);
    }
};

// A tab browser: optical zoom, a page of 1000 by 3000 scrolled down by 1200, and the
// shell window of the tab's windows.
struct TabBrowser : testwindows::TabBrowser {
    explicit TabBrowser(HWND shell) : testwindows::TabBrowser(shell) {
        page.root.scrollHeight = 3000;
        page.root.scrollWidth = 1000;
        page.body.scrollTop = 1200;
    }
    // The zoom values set on it, in order.
    std::vector<LONG> ZoomsSet() const {
        std::vector<LONG> set;
        for (const auto& call : page.browser.execCalls)
            if (call.option == OLECMDEXECOPT_PROMPTUSER) set.push_back(call.inputValue);
        return set;
    }
};

// The preview control's page: a window for the scripts and one picture, still loading.
struct PreviewControl {
    substitute::PageWithWindow page;
    substitute::ImageCollection images;
    substitute::Element picture;
    substitute::Script script;  // the template page's two functions
    PreviewControl() {
        picture.readyState = READYSTATE_LOADING;
        images.items = {&picture};
        page.document.images = &images;
        script.names = {L"change_div", L"load_image"};
        page.document.script = &script;
    }
    std::vector<LONG> ZoomsSet() const {
        std::vector<LONG> set;
        for (const auto& call : page.browser.execCalls)
            if (call.option == OLECMDEXECOPT_PROMPTUSER) set.push_back(call.inputValue);
        return set;
    }
    std::vector<std::wstring> Scripts() const {
        std::vector<std::wstring> texts;
        for (const auto& s : page.window.scripts) texts.push_back(s.code);
        return texts;
    }
};

std::wstring TempFolder() {
    wchar_t folder[MAX_PATH + 1] = {};
    DWORD n = ::GetTempPathW(MAX_PATH + 1, folder);
    return std::wstring(folder, n);
}

class ZoomPreviewTest : public StoredZoomTest {
protected:
    void SetUp() override {
        StoredZoomTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(com_.result()));
        gestures.clear();
        closedHandles.clear();
        clockNow = clockLastInput = 50'000;  // input just now: the idle timer hides nothing
        clockReads = 0;
        controlToGive = static_cast<IWebBrowser2*>(&control.page.browser);
        controlResult = S_OK;
        factoryCalls.clear();
        previousReader_ = SetGestureReader({ReadTestGesture, CloseTestGesture});
        previousFactory_ = SetControlFactory(GiveTestControl);
        previousClock_ = SetInputClock({TestLastInput, TestTickCount});
        Addon().currentPreview = nullptr;
        ASSERT_NE(tabWindows.content, nullptr);
    }
    void TearDown() override {
        SetGestureReader(previousReader_);
        SetControlFactory(previousFactory_);
        SetInputClock(previousClock_);
        StoredZoomTest::TearDown();
    }

    // A preview of the tab with the bounds 100 and 300.
    std::unique_ptr<CZoomPreview> NewPreview() {
        auto preview = std::make_unique<CZoomPreview>();
        preview->browser = pinchwell::ComPtr<IWebBrowser2>(tab.Browser());
        preview->minZoom = 100;
        preview->maxZoom = 300;
        return preview;
    }

    static LPARAM Gesture(DWORD flags, std::uint16_t distance, DWORD id = GID_ZOOM) {
        auto handle = reinterpret_cast<HGESTUREINFO>(nextHandle++);
        GESTUREINFO info = {};
        info.cbSize = sizeof info;
        info.dwID = id;
        info.dwFlags = flags;
        info.ullArguments = 0xABCD'0000'0000ull | distance;  // only the low 16 bits count
        gestures[handle] = info;
        return reinterpret_cast<LPARAM>(handle);
    }
    // As the hook does it: synchronously, to the preview window.
    static void Send(CZoomPreview& preview, LPARAM gesture) {
        ::SendMessageW(preview.GetPreviewWindow(), WM_GESTURE, 0, gesture);
    }

    pinchwell::ComInit com_;
    TabWindows tabWindows;
    TabBrowser tab{tabWindows.shell.get()};
    PreviewControl control;

private:
    GestureReader previousReader_{};
    ControlFactory previousFactory_ = nullptr;
    InputClock previousClock_{};
};

}  // namespace

TEST_F(ZoomPreviewTest, ConstructionCreatesAHiddenMockupWindowAndAnOwnedHostWindow) {
    auto preview = NewPreview();
    HWND mockup = preview->GetPreviewWindow();
    HWND host = preview->hostWindow.get();
    ASSERT_TRUE(::IsWindow(mockup));
    ASSERT_TRUE(::IsWindow(host));
    EXPECT_EQ(ClassOf(mockup), L"Pinchwell");
    EXPECT_EQ(TitleOf(mockup), L"Pinchwell - Mockup");
    EXPECT_EQ(ClassOf(host), kControlHostClass);
    EXPECT_EQ(TitleOf(host), L"");
    EXPECT_EQ(::GetWindow(host, GW_OWNER), mockup);
    EXPECT_EQ(::GetWindow(mockup, GW_OWNER), nullptr);
    for (HWND w : {mockup, host}) {
        EXPECT_FALSE(Visible(w));
        EXPECT_EQ(StyleOf(w) & (WS_CAPTION | WS_CHILD), 0);
        EXPECT_EQ(ExStyleOf(w) & (WS_EX_TOOLWINDOW | WS_EX_STATICEDGE), WS_EX_TOOLWINDOW | WS_EX_STATICEDGE);
    }
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    ASSERT_TRUE(::GetClassInfoExW(Module(), L"Pinchwell", &wc));
    EXPECT_EQ(wc.style, static_cast<UINT>(CS_HREDRAW | CS_VREDRAW));
    EXPECT_EQ(wc.lpfnWndProc, &CZoomPreview::PreviewWndProc);
    EXPECT_EQ(wc.hbrBackground, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
    EXPECT_EQ(wc.hCursor, ::LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW)));

    EXPECT_EQ(CZoomPreview::FromWindow(mockup), preview.get());  // its procedures act on it
    EXPECT_EQ(CZoomPreview::FromWindow(host), nullptr);
    EXPECT_EQ(preview->dampingDivisor, 10);
    std::wstring path = TempFolder() + L"temp.png";
    EXPECT_EQ(preview->imagePath, path);
    std::wstring url = L"file:///" + path;
    for (auto& c : url)
        if (c == L'\\') c = L'/';
    EXPECT_EQ(preview->imageUrl, url);
}

TEST_F(ZoomPreviewTest, TheControlIsAWebBrowserNavigatedOnceToTheTemplatePage) {
    auto preview = NewPreview();
    ASSERT_EQ(factoryCalls.size(), 1u);
    EXPECT_EQ(factoryCalls[0].host, preview->hostWindow.get());
    EXPECT_EQ(factoryCalls[0].clsid, L"{8856F961-340A-11D0-A96B-00C04FD705A2}");
    ASSERT_TRUE(preview->previewBrowser);
    EXPECT_EQ(preview->previewBrowser->Browser(), control.page.browser.AsBrowser());
    ASSERT_EQ(control.page.browser.navigations.size(), 1u);
    const auto& nav = control.page.browser.navigations[0];
    EXPECT_EQ(nav.urlType, VT_BSTR);
    EXPECT_EQ(nav.url, pinchwell::AnsiToWide(GetProgramFilesFolder()) + L"\\Kestrune\\Pinchwell\\Template.html");
    // A pinch runs scripts in the page; it never navigates again.
    Send(*preview, Gesture(GF_BEGIN, 200));
    Send(*preview, Gesture(GF_END, 200));
    EXPECT_EQ(control.page.browser.navigations.size(), 1u);
}

TEST_F(ZoomPreviewTest, ASecondPreviewRegistersTheClassAgainAndHasWindowsOfItsOwn) {
    auto first = NewPreview();
    substitute::PageWithWindow secondPage;
    controlToGive = static_cast<IWebBrowser2*>(&secondPage.browser);
    auto second = NewPreview();
    EXPECT_EQ(CZoomPreview::FromWindow(second->GetPreviewWindow()), second.get());
    EXPECT_EQ(CZoomPreview::FromWindow(first->GetPreviewWindow()), first.get());
    EXPECT_NE(first->GetPreviewWindow(), second->GetPreviewWindow());
    EXPECT_NE(first->hostWindow.get(), second->hostWindow.get());
    EXPECT_EQ(ClassOf(second->GetPreviewWindow()), L"Pinchwell");
    EXPECT_EQ(secondPage.browser.navigations.size(), 1u);
    // Idle, neither wakes its thread.
    EXPECT_EQ(TimerMessages(first->GetPreviewWindow(), 100) + TimerMessages(second->GetPreviewWindow(), 100), 0);
}

TEST_F(ZoomPreviewTest, AGestureGoesToTheObjectWhoseWindowItReaches) {
    auto first = NewPreview();
    substitute::WebBrowser otherTab;
    first->browser = pinchwell::ComPtr<IWebBrowser2>(otherTab.AsBrowser());
    auto second = NewPreview();  // made last, on the tab
    ::SendMessageW(first->GetPreviewWindow(), WM_GESTURE, 0, Gesture(GF_BEGIN, 200));
    EXPECT_TRUE(tab.page.browser.execCalls.empty());
    ASSERT_EQ(otherTab.execCalls.size(), 1u);  // the start zoom was read
    EXPECT_EQ(otherTab.execCalls[0].option, OLECMDEXECOPT_DONTPROMPTUSER);
    EXPECT_EQ(closedHandles.size(), 1u);
    first.reset();
    EXPECT_EQ(otherTab.refs, 1u);
}

TEST_F(ZoomPreviewTest, APinchCapturesPlacesShowsCommitsAndHides) {
    auto preview = NewPreview();
    HWND host = preview->hostWindow.get();
    std::wstring capture = TempFolder() + L"temp.png";
    ::DeleteFileW(capture.c_str());

    Send(*preview, Gesture(GF_BEGIN, 200));
    ImageFile image = ReadImageFile(capture);
    ASSERT_TRUE(image.loaded);
    EXPECT_EQ(image.format, "png");
    EXPECT_EQ(image.width, 778u);
    EXPECT_EQ(image.height, 578u);
    EXPECT_EQ(control.Scripts(),
              (std::vector<std::wstring>{L"change_div(1000,3000)", L"load_image('" + preview->imageUrl +
                                                                        L"',778,578,1200,0,222,1222)"}));
    EXPECT_EQ(control.ZoomsSet(), std::vector<LONG>{100});
    RECT placed = {};
    ::GetWindowRect(host, &placed);
    EXPECT_EQ(placed.left, 130);
    EXPECT_EQ(placed.top, 120);
    EXPECT_EQ(placed.right, 1000);  // the shell window's right edge
    EXPECT_EQ(placed.bottom, 720);
    EXPECT_NE(ExStyleOf(host) & WS_EX_TOPMOST, 0);

    PumpFor(60);
    EXPECT_FALSE(Visible(host)) << "shown before the picture loaded";
    control.picture.readyState = READYSTATE_COMPLETE;
    EXPECT_TRUE(PumpUntil([&] { return Visible(host); }));

    // An update posted to the window's queue is handled when the loop dispatches it.
    ::PostMessageW(preview->GetPreviewWindow(), WM_GESTURE, 0, Gesture(0, 500));
    EXPECT_TRUE(PumpUntil([&] { return control.ZoomsSet().size() == 2; }));
    EXPECT_EQ(control.ZoomsSet(), (std::vector<LONG>{100, 250}));

    tab.page.browser.setChangesZoom = false;  // the tab takes a while to report the new zoom
    Send(*preview, Gesture(GF_END, 500));
    EXPECT_EQ(tab.ZoomsSet(), std::vector<LONG>{250});
    EXPECT_EQ(preview->awaitedZoom, 250);
    EXPECT_EQ(StoredZoomFactor(), 250000u);
    PumpFor(60);
    EXPECT_TRUE(Visible(host));
    tab.page.browser.zoom = 250;
    EXPECT_TRUE(PumpUntil([&] { return !Visible(host); }));

    EXPECT_EQ(closedHandles.size(), 3u);
}

TEST_F(ZoomPreviewTest, APinchLeavesTheBrowsersFrameActiveAndItsFocusWhereItWas) {
    // The browser's frame, on the tab's thread like the preview, with the focus in a field.
    RegisterPlainClass(L"PreviewTestFrame");
    pinchwell::UniqueWindow frame(::CreateWindowExW(0, L"PreviewTestFrame", L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                                    0, 0, 640, 480, nullptr, nullptr, Module(), nullptr));
    HWND field = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 10, 10, 200, 24, frame.get(), nullptr,
                                   Module(), nullptr);
    ::SetForegroundWindow(frame.get());
    ::SetFocus(field);
    auto untouched = [&] { return ::GetActiveWindow() == frame.get() && ::GetFocus() == field; };
    ASSERT_TRUE(untouched());
    auto preview = NewPreview();
    HWND host = preview->hostWindow.get();
    control.picture.readyState = READYSTATE_COMPLETE;

    Send(*preview, Gesture(GF_BEGIN, 200));
    ASSERT_TRUE(PumpUntil([&] { return Visible(host); }));
    EXPECT_TRUE(untouched()) << "shown";
    Send(*preview, Gesture(GF_BEGIN, 200));  // placed again while shown
    PumpFor(30);
    EXPECT_TRUE(untouched()) << "a second pinch";
    ::SetCursorPos(500, 300);  // on the preview, for a tap
    INPUT input[4] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = 'A';
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    input[2].type = input[3].type = INPUT_MOUSE;
    input[2].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    input[3].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(::SendInput(4, input, sizeof(INPUT)), 4u);
    EXPECT_TRUE(PumpUntil([&] { return ::GetWindowTextLengthW(field) == 1; })) << "the key was lost";
    PumpFor(30);
    EXPECT_TRUE(untouched()) << "a tap on the preview";
    Send(*preview, Gesture(GF_END, 300));
    ASSERT_TRUE(PumpUntil([&] { return !Visible(host); }));
    EXPECT_TRUE(untouched()) << "committed and hidden";
}

TEST_F(ZoomPreviewTest, TheIdleTimerHidesAShownPreviewAfter800MillisecondsWithoutInput) {
    auto preview = NewPreview();
    HWND host = preview->hostWindow.get();
    control.picture.readyState = READYSTATE_COMPLETE;
    Send(*preview, Gesture(GF_BEGIN, 200));
    ASSERT_TRUE(PumpUntil([&] { return Visible(host); }));
    clockLastInput = clockNow - 799;
    int before = clockReads;
    ASSERT_TRUE(PumpUntil([&] { return clockReads >= before + 3; }));
    EXPECT_TRUE(Visible(host));
    clockNow += 1;
    EXPECT_TRUE(PumpUntil([&] { return !Visible(host); }));
}

TEST_F(ZoomPreviewTest, AGestureToAWindowWithoutObjectOnlyClosesItsHandle) {
    auto preview = NewPreview();
    ::SetWindowLongPtrW(preview->GetPreviewWindow(), GWLP_USERDATA, 0);
    LPARAM begin = Gesture(GF_BEGIN, 200);
    Send(*preview, begin);
    EXPECT_TRUE(tab.page.browser.execCalls.empty());
    EXPECT_EQ(closedHandles, std::vector<HGESTUREINFO>{reinterpret_cast<HGESTUREINFO>(begin)});
}

TEST_F(ZoomPreviewTest, GesturesThatAreNotAZoomOrCannotBeReadOnlyCloseTheirHandle) {
    auto preview = NewPreview();
    LPARAM pan = Gesture(GF_BEGIN, 200, GID_PAN);
    LPARAM unreadable = 0x6FFF;
    Send(*preview, pan);
    Send(*preview, unreadable);
    EXPECT_TRUE(tab.page.browser.execCalls.empty());
    EXPECT_EQ(closedHandles,
              (std::vector<HGESTUREINFO>{reinterpret_cast<HGESTUREINFO>(pan), reinterpret_cast<HGESTUREINFO>(unreadable)}));
}

TEST_F(ZoomPreviewTest, UpdatesAndEndsBeforeAnyBeginChangeNothing) {
    auto preview = NewPreview();
    Send(*preview, Gesture(0, 500));
    Send(*preview, Gesture(GF_END, 500));
    EXPECT_TRUE(tab.page.browser.execCalls.empty());
    EXPECT_TRUE(control.page.browser.execCalls.empty());
    EXPECT_FALSE(StoredZoomFactor().has_value());
    EXPECT_EQ(closedHandles.size(), 2u);
}

TEST_F(ZoomPreviewTest, AStartDistanceOf0GivesNoPreviewZoomAndTheEndSendsTheStartZoom) {
    tab.page.browser.zoom = 150;
    auto preview = NewPreview();
    Send(*preview, Gesture(GF_BEGIN, 0));
    Send(*preview, Gesture(0, 300));
    EXPECT_EQ(control.ZoomsSet(), std::vector<LONG>{100});  // only the page update's
    EXPECT_EQ(preview->scale, 1.0);
    Send(*preview, Gesture(GF_END, 300));
    EXPECT_EQ(tab.ZoomsSet(), std::vector<LONG>{150});
}

TEST_F(ZoomPreviewTest, WithoutAShellWindowNothingIsCapturedOrShownButTheZoomIsSet) {
    tab.page.browser.shellView = nullptr;
    auto preview = NewPreview();
    HWND host = preview->hostWindow.get();
    control.picture.readyState = READYSTATE_COMPLETE;
    std::wstring capture = TempFolder() + L"temp.png";
    ::DeleteFileW(capture.c_str());
    Send(*preview, Gesture(GF_BEGIN, 200));
    Send(*preview, Gesture(0, 500));
    PumpFor(60);
    EXPECT_FALSE(Visible(host));
    EXPECT_FALSE(FileExists(capture));
    EXPECT_TRUE(control.Scripts().empty());
    Send(*preview, Gesture(GF_END, 500));
    EXPECT_EQ(tab.ZoomsSet(), std::vector<LONG>{250});
    PumpFor(30);
    EXPECT_FALSE(Visible(host));
    EXPECT_EQ(preview->GetContentWindow(), nullptr);
}

TEST_F(ZoomPreviewTest, WhenTheControlCannotBeMadeNothingUsesItAndThePinchStillSetsTheZoom) {
    controlResult = E_FAIL;
    auto preview = NewPreview();
    EXPECT_FALSE(preview->previewBrowser);
    ASSERT_TRUE(::IsWindow(preview->hostWindow.get()));
    Send(*preview, Gesture(GF_BEGIN, 200));
    Send(*preview, Gesture(0, 500));
    PumpFor(60);
    EXPECT_FALSE(Visible(preview->hostWindow.get()));
    Send(*preview, Gesture(GF_END, 500));
    EXPECT_EQ(tab.ZoomsSet(), std::vector<LONG>{250});
    EXPECT_TRUE(control.page.browser.navigations.empty());
    EXPECT_TRUE(control.page.browser.execCalls.empty());
}

TEST_F(ZoomPreviewTest, AnUnusableTabAtTheEndHidesThePreviewAndSetsNoZoom) {
    auto preview = NewPreview();
    HWND host = preview->hostWindow.get();
    Send(*preview, Gesture(GF_BEGIN, 200));
    Send(*preview, Gesture(0, 500));
    ::ShowWindow(host, SW_SHOWNA);
    preview->browser = nullptr;  // the tab's browser object is gone
    Send(*preview, Gesture(GF_END, 500));
    EXPECT_FALSE(Visible(host));
    EXPECT_TRUE(tab.ZoomsSet().empty());
    control.picture.readyState = READYSTATE_COMPLETE;  // the show timer no longer runs
    PumpFor(60);
    EXPECT_FALSE(Visible(host));
}

TEST_F(ZoomPreviewTest, GetPreviewWindowRecreatesAMissingMockupWindow) {
    auto preview = NewPreview();
    HWND oldMockup = preview->GetPreviewWindow();
    HWND oldHost = preview->hostWindow.get();
    ::DestroyWindow(oldMockup);
    ASSERT_FALSE(::IsWindow(oldHost));  // went with its owner
    HWND mockup = preview->GetPreviewWindow();
    EXPECT_TRUE(::IsWindow(mockup));
    EXPECT_EQ(ClassOf(mockup), L"Pinchwell");
    EXPECT_TRUE(::IsWindow(preview->hostWindow.get()));
    EXPECT_EQ(::GetWindow(preview->hostWindow.get(), GW_OWNER), mockup);
    EXPECT_EQ(factoryCalls.size(), 2u);
    EXPECT_EQ(control.page.browser.navigations.size(), 2u);
    int before = clockReads;
    Send(*preview, Gesture(GF_BEGIN, 200));
    EXPECT_TRUE(PumpUntil([&] { return clockReads >= before + 2; }));  // a pinch's idle timer runs on it
}

TEST_F(ZoomPreviewTest, AnIdleTabRunsNoTimerBeforeOrAfterAPinch) {
    auto preview = NewPreview();
    HWND mockup = preview->GetPreviewWindow();
    EXPECT_EQ(TimerMessages(mockup, 1000), 0);  // a second of an idle tab
    control.picture.readyState = READYSTATE_COMPLETE;
    Send(*preview, Gesture(GF_BEGIN, 200));
    ASSERT_TRUE(PumpUntil([&] { return Visible(preview->hostWindow.get()); }));
    Send(*preview, Gesture(0, 300));
    Send(*preview, Gesture(GF_END, 300));
    ASSERT_TRUE(PumpUntil([&] { return !Visible(preview->hostWindow.get()); }));  // the tab reports 150
    EXPECT_EQ(TimerMessages(mockup, 200), 0);
}

TEST_F(ZoomPreviewTest, TheCommitTimerGivesUpTwoSecondsAfterThePinchEnd) {
    auto preview = NewPreview();
    HWND mockup = preview->GetPreviewWindow();
    control.picture.readyState = READYSTATE_COMPLETE;
    Send(*preview, Gesture(GF_BEGIN, 200));
    ASSERT_TRUE(PumpUntil([&] { return Visible(preview->hostWindow.get()); }));
    tab.page.browser.setChangesZoom = false;  // never reports the zoom it is given
    Send(*preview, Gesture(0, 300));
    Send(*preview, Gesture(GF_END, 300));
    clockNow = clockLastInput = clockNow + 1999;  // input goes on: the idle timer hides nothing
    EXPECT_GT(TimerMessages(mockup, 60), 0);
    EXPECT_TRUE(Visible(preview->hostWindow.get()));
    clockNow = clockLastInput = clockNow + 1;
    EXPECT_TRUE(PumpUntil([&] { return !Visible(preview->hostWindow.get()); }));
    size_t queries = tab.page.browser.execCalls.size();
    EXPECT_EQ(TimerMessages(mockup, 100), 0);
    EXPECT_EQ(tab.page.browser.execCalls.size(), queries);
}

TEST_F(ZoomPreviewTest, APinchRetriedWithinTheCommitDeadlineStaysShownPastIt) {
    auto preview = NewPreview();
    HWND host = preview->hostWindow.get();
    control.picture.readyState = READYSTATE_COMPLETE;
    tab.page.browser.setChangesZoom = false;  // the tab refuses the zoom while it loads
    Send(*preview, Gesture(GF_BEGIN, 200));
    Send(*preview, Gesture(0, 300));
    Send(*preview, Gesture(GF_END, 300));
    clockNow = clockLastInput = clockNow + 1000;
    Send(*preview, Gesture(GF_BEGIN, 200));
    ASSERT_TRUE(PumpUntil([&] { return Visible(host); }));
    clockNow = clockLastInput = clockNow + 1001;  // past the first pinch's deadline
    PumpFor(60);
    EXPECT_TRUE(Visible(host));
}

TEST_F(ZoomPreviewTest, ARetriedPinchPicturesThePageNotTheEarlierPreview) {
    auto preview = NewPreview();
    HWND host = preview->hostWindow.get();
    const std::wstring capture = TempFolder() + L"temp.png";
    control.picture.readyState = READYSTATE_COMPLETE;
    tab.page.browser.setChangesZoom = false;  // the tab does not report the first pinch's zoom
    PumpFor(60);                              // the page paints
    Send(*preview, Gesture(GF_BEGIN, 200));
    const DWORD page = ImagePixel(capture, 400, 300);
    ASSERT_TRUE(PumpUntil([&] { return Visible(host); }));
    Send(*preview, Gesture(0, 300));
    Send(*preview, Gesture(GF_END, 300));
    constexpr COLORREF kPreviewBlue = RGB(0, 0, 255);
    ASSERT_NE(page, 0x0000FFu) << "the page and the preview need colours of their own";
    {
        HDC dc = ::GetDC(host);
        RECT all = {};
        ::GetClientRect(host, &all);
        HBRUSH blue = ::CreateSolidBrush(kPreviewBlue);
        ::FillRect(dc, &all, blue);
        ::DeleteObject(blue);
        ::ReleaseDC(host, dc);
    }
    PumpFor(60);
    Send(*preview, Gesture(GF_BEGIN, 200));
    EXPECT_EQ(ImagePixel(capture, 400, 300), page) << "the picture shows the earlier preview";
    EXPECT_TRUE(PumpUntil([&] { return Visible(host); })) << "shown again with the new picture";
}

TEST_F(ZoomPreviewTest, TeardownWhileItsTimersRunLeavesNothingThatFires) {
    tab.page.browser.setChangesZoom = false;
    // Committing, the commit and idle timers run; pinching, the show and idle timers.
    for (bool committing : {true, false}) {
        SCOPED_TRACE(committing ? "committing" : "pinching");
        auto preview = NewPreview();
        Addon().currentPreview = preview.get();
        HWND mockup = preview->GetPreviewWindow();
        HWND host = preview->hostWindow.get();
        control.picture.readyState = committing ? READYSTATE_COMPLETE : READYSTATE_LOADING;
        Send(*preview, Gesture(GF_BEGIN, 200));
        if (committing) {
            ASSERT_TRUE(PumpUntil([&] { return Visible(host); }));
            Send(*preview, Gesture(GF_END, 500));  // the commit timer waits for 250
        }
        int clock = clockReads;
        size_t tabCalls = tab.page.browser.execCalls.size();
        int previewReads = control.page.browser.documentReads;
        ASSERT_TRUE(PumpUntil([&] {
            return clockReads > clock && (committing ? tab.page.browser.execCalls.size() > tabCalls
                                                     : control.page.browser.documentReads > previewReads);
        }));

        preview.reset();
        EXPECT_FALSE(::IsWindow(mockup));
        EXPECT_FALSE(::IsWindow(host));
        EXPECT_EQ(Addon().currentPreview.load(), nullptr);
        EXPECT_EQ(control.page.browser.refs, 1u);  // the control is let go
        EXPECT_EQ(tab.page.browser.refs, 1u);      // and the tab's browser

        clock = clockReads;
        tabCalls = tab.page.browser.execCalls.size();
        previewReads = control.page.browser.documentReads;
        PumpFor(100);
        EXPECT_EQ(clockReads, clock);
        EXPECT_EQ(tab.page.browser.execCalls.size(), tabCalls);
        EXPECT_EQ(control.page.browser.documentReads, previewReads);
        MSG msg;
        EXPECT_FALSE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE))
            << "the message loop was told to end";
    }
}

TEST_F(ZoomPreviewTest, TeardownOfAnotherTabLeavesTheCurrentTabAlone) {
    auto first = NewPreview();
    auto second = NewPreview();
    Addon().currentPreview = second.get();
    first.reset();
    EXPECT_EQ(Addon().currentPreview.load(), second.get());
    EXPECT_TRUE(::IsWindow(second->GetPreviewWindow()));
}

TEST_F(ZoomPreviewTest, WithWinesWebBrowserControlInItsHostWindow) {
    SetControlFactory(nullptr);
    auto preview = NewPreview();
    ASSERT_TRUE(preview->previewBrowser);
    EXPECT_NE(::GetWindow(preview->hostWindow.get(), GW_CHILD), nullptr);
    // Wine's control has no page: the pinch goes on without one.
    Send(*preview, Gesture(GF_BEGIN, 200));
    Send(*preview, Gesture(0, 500));
    Send(*preview, Gesture(GF_END, 500));
    EXPECT_EQ(tab.ZoomsSet(), std::vector<LONG>{250});
    HWND host = preview->hostWindow.get();
    preview.reset();
    EXPECT_FALSE(::IsWindow(host));
}

TEST_F(ZoomPreviewTest, TheBoundsComeFromTheSettingsFileAsTheSlidersShowThem) {
    namespace fs = std::filesystem;
    fs::path folder = fs::path(GetProgramFilesFolder()) / "Kestrune" / "Pinchwell";
    fs::path config = folder / "config.ini";
    ASSERT_FALSE(fs::exists(config)) << "a settings file is in the way";
    bool madeKestrune = !fs::exists(folder.parent_path());
    fs::create_directories(folder);
    // A maximum beyond the slider and a missing minimum (0): 500 and 100, as the settings
    // program shows them. (The process reads the file once: one file per test.)
    WriteFileBytes(config.string(), "[Pinchwell]\r\nMaxZoomRange=900\r\n");
    CZoomPreview preview;
    EXPECT_EQ(preview.maxZoom, 500);
    EXPECT_EQ(preview.minZoom, 100);
    std::error_code ignored;
    fs::remove_all(madeKestrune ? folder.parent_path() : folder, ignored);
}

TEST_F(ZoomPreviewTest, APageThatIsNotTheTemplateIsNeverShownAndThePinchStillCommits) {
    control.script.names.clear();  // an error page: its images are complete, its script is not ours
    control.picture.readyState = READYSTATE_COMPLETE;
    auto preview = NewPreview();
    HWND host = preview->hostWindow.get();
    Send(*preview, Gesture(GF_BEGIN, 200));
    Send(*preview, Gesture(0, 300));
    PumpFor(60);
    EXPECT_FALSE(Visible(host));
    EXPECT_TRUE(control.Scripts().empty());  // nothing runs in a page that is not ours
    Send(*preview, Gesture(GF_END, 300));
    EXPECT_EQ(tab.ZoomsSet(), std::vector<LONG>{150});
    PumpFor(30);  // the commit timer sees the tab at 150
    EXPECT_EQ(TimerMessages(preview->GetPreviewWindow(), 60), 0);
    EXPECT_FALSE(Visible(host));
}

TEST_F(ZoomPreviewTest, TheCaptureFileGoesWithTheTabThatWroteIt) {
    const std::wstring capture = TempFolder() + L"temp.png";
    ::DeleteFileW(capture.c_str());
    auto idle = NewPreview();
    auto pinched = NewPreview();
    Send(*pinched, Gesture(GF_BEGIN, 200));
    Send(*pinched, Gesture(GF_END, 200));
    ASSERT_NE(::GetFileAttributesW(capture.c_str()), INVALID_FILE_ATTRIBUTES);
    idle.reset();
    EXPECT_NE(::GetFileAttributesW(capture.c_str()), INVALID_FILE_ATTRIBUTES) << "another tab's picture went";
    pinched.reset();
    EXPECT_EQ(::GetFileAttributesW(capture.c_str()), INVALID_FILE_ATTRIBUTES) << "the screenshot stayed on disk";
}

TEST_F(ZoomPreviewTest, ATabLeavesTheCaptureFileThatAnotherTabWroteSince) {
    const std::wstring capture = TempFolder() + L"temp.png";
    control.picture.readyState = READYSTATE_COMPLETE;
    auto a = NewPreview();
    auto b = NewPreview();
    Send(*a, Gesture(GF_BEGIN, 200));
    Send(*a, Gesture(GF_END, 200));
    Send(*b, Gesture(GF_BEGIN, 200));
    ASSERT_TRUE(PumpUntil([&] { return Visible(b->hostWindow.get()); }));
    a.reset();
    EXPECT_TRUE(ReadImageFile(capture).loaded) << "the other tab's picture went";
    EXPECT_TRUE(Visible(b->hostWindow.get()));
    b.reset();
    EXPECT_EQ(::GetFileAttributesW(capture.c_str()), INVALID_FILE_ATTRIBUTES) << "the screenshot stayed on disk";
}

TEST_F(ZoomPreviewTest, TheControlMayRunScriptInTheTemplatePageOnly) {
    SetControlFactory(nullptr);  // Wine's WebBrowser control in our host
    auto preview = NewPreview();
    ASSERT_TRUE(preview->previewBrowser);
    pinchwell::ComPtr<IOleClientSite> site;
    auto object = pinchwell::ComPtr<IWebBrowser2>(preview->previewBrowser->Browser()).As<IOleObject>(IID_IOleObject);
    ASSERT_TRUE(object);
    ASSERT_EQ(object->GetClientSite(site.put()), S_OK);
    auto services = site.As<IServiceProvider>(IID_IServiceProvider);
    ASSERT_TRUE(services);
    pinchwell::ComPtr<IInternetSecurityManager> manager;
    ASSERT_EQ(services->QueryService(SID_SInternetSecurityManager, __uuidof(IInternetSecurityManager),
                                     manager.put_void()),
              S_OK);
    const std::wstring page = pinchwell::AnsiToWide(GetProgramFilesFolder()) + L"\\Kestrune\\Pinchwell\\";
    for (const auto& [file, allowed] : {std::pair{L"Template.html", true}, {L"config.ini", false}}) {
        const std::wstring url = page + file;
        DWORD policy = 0xFF;
        HRESULT hr = manager->ProcessUrlAction(url.c_str(), URLACTION_SCRIPT_RUN, reinterpret_cast<BYTE*>(&policy),
                                               sizeof policy, nullptr, 0, PUAF_DEFAULT, 0);
        EXPECT_EQ(hr, allowed ? S_OK : INET_E_DEFAULT_ACTION) << file;
        if (allowed) {
            EXPECT_EQ(policy, DWORD(URLPOLICY_ALLOW));
        }
    }
}

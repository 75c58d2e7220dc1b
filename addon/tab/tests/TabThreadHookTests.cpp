// Attach, the real message hook and detach on a thread with a message queue: posted
// messages on a tab-like window tree (content window away from the screen's corner)
// scroll a substitute page, gestures come through the gesture reader, and detach
// removes the hook and the preview object.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <pinchwell/UniqueHandle.h>

#include "AddonState.h"
#include "GestureReader.h"
#include "MessageHook.h"
#include "ProgramFolder.h"
#include "Substitutes.h"
#include "TestFiles.h"
#include "TestWindows.h"
#include "ZoomPreview.h"

namespace {

// The messages that reached the content window's procedure, by number.
std::map<UINT, int> received;

LRESULT CALLBACK RecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    ++received[message];
    return ::DefWindowProcW(window, message, wParam, lParam);
}

using testwindows::Child;
using testwindows::Deliver;
using testwindows::Drain;
using testwindows::Module;
using testwindows::Register;
using testwindows::TabBrowser;

// A tab's window tree: the shell window below the screen's corner, toolbars, the view
// and the content window.
struct TabWindows {
    pinchwell::UniqueWindow shell;
    HWND content = nullptr;

    TabWindows() {
        Register(L"TabWindowClass", ::DefWindowProcW, nullptr);
        Register(L"Shell DocObject View", ::DefWindowProcW, nullptr);
        Register(L"Internet Explorer_Server", RecordingProc, nullptr);
        shell.reset(::CreateWindowExW(0, L"TabWindowClass", nullptr, WS_POPUP | WS_VISIBLE, 100, 80, 900, 700,
                                      nullptr, nullptr, Module(), nullptr));
        HWND view = Child(L"Shell DocObject View", shell.get(), 0, 60, 900, 640);
        content = Child(L"Internet Explorer_Server", view, 0, 0, 900, 640);
        Drain();
    }
};

LPARAM Client(int x, int y) { return MAKELPARAM(x, y); }

BOOL CALLBACK CollectErrorBox(HWND window, LPARAM found) {
    wchar_t className[32] = {}, title[32] = {};
    ::GetClassNameW(window, className, 32);
    ::GetWindowTextW(window, title, 32);
    if (std::wstring(className) == L"#32770" && std::wstring(title) == L"Error" && ::IsWindowVisible(window))
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    return TRUE;
}

// The hook's error boxes that the thread shows.
std::vector<HWND> ErrorBoxes(DWORD thread) {
    std::vector<HWND> boxes;
    ::EnumThreadWindows(thread, CollectErrorBox, reinterpret_cast<LPARAM>(&boxes));
    return boxes;
}

// Gestures as the test reader reports them; closes counted.
std::atomic<DWORD> gestureId{0};
std::atomic<DWORD> gestureFlags{0};
std::atomic<int> closes{0};
BOOL WINAPI ReadTestGesture(HGESTUREINFO, PGESTUREINFO info) {
    info->dwID = gestureId;
    info->dwFlags = gestureFlags;
    return TRUE;
}
BOOL WINAPI CloseTestGesture(HGESTUREINFO) {
    ++closes;
    return TRUE;
}

class TabThread : public StoredZoomTest {
protected:
    static void SetUpTestSuite() {
        std::filesystem::create_directories(Folder());
        std::ofstream(GetConfigPath(), std::ios::binary) << "[Pinchwell]\r\nEnable=TRUE\r\nTwoFingerTap2Zoom100=TRUE\r\n"
                                                            "MaxZoomRange=300\r\nMinZoomRange=100\r\n";
        previousReader = SetGestureReader({ReadTestGesture, CloseTestGesture});
    }
    static void TearDownTestSuite() {
        SetGestureReader(previousReader);
        std::filesystem::remove_all(std::filesystem::path(GetProgramFilesFolder()) / "Kestrune");
    }
    static std::string Folder() { return GetProgramFilesFolder() + "\\Kestrune\\Pinchwell"; }

    void SetUp() override {
        StoredZoomTest::SetUp();
        received.clear();
        closes = 0;
        gestureFlags = 0;
        RECT rect;
        ::GetWindowRect(windows.content, &rect);
        ::SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    }
    void TearDown() override {
        Addon().eventSink.DetachThread();
        StoredZoomTest::TearDown();
    }

    // A press and moves through the given client points.
    void Drag(const std::vector<POINT>& points) {
        Deliver(windows.content, WM_LBUTTONDOWN, MK_LBUTTON, Client(10, 10));
        for (POINT p : points) Deliver(windows.content, WM_MOUSEMOVE, MK_LBUTTON, Client(p.x, p.y));
    }

    static GestureReader previousReader;
    TabWindows windows;
    TabBrowser tab{windows.shell.get()};
};
GestureReader TabThread::previousReader{};

using Scrolls = std::vector<std::pair<LONG, LONG>>;

}  // namespace

TEST_F(TabThread, AttachRecordsOneHookAndOnePreviewAndMakesItCurrent) {
    Addon().eventSink.AttachThread(tab.Browser());
    DWORD thread = ::GetCurrentThreadId();
    EXPECT_NE(Addon().eventSink.hookTable.Lookup(thread), nullptr);
    CZoomPreview* preview = Addon().eventSink.previewTable.Lookup(thread);
    ASSERT_NE(preview, nullptr);
    EXPECT_EQ(preview->browser.get(), tab.Browser());
    EXPECT_EQ(Addon().currentPreview.load(), preview);
    EXPECT_EQ(tab.page.browser.refs, 2u);  // the preview's own reference
    Addon().eventSink.DetachThread();
    EXPECT_EQ(tab.page.browser.refs, 1u);
}

TEST_F(TabThread, TheFirstAttachmentConfiguresLogging) {
    EXPECT_FALSE(Addon().logger.IsSet()) << "configured before any tab was attached";
    Addon().eventSink.AttachThread(tab.Browser());
    EXPECT_TRUE(Addon().logger.IsSet());
}

TEST_F(TabThread, ADragOnTheContentWindowScrollsByHalfTheTravel) {
    Addon().eventSink.AttachThread(tab.Browser());
    Drag({{100, 100}, {90, 80}, {103, 97}});
    EXPECT_EQ(tab.page.window.scrolls, (Scrolls{{5, 10}, {-6, -8}}));
    EXPECT_EQ(received[WM_LBUTTONDOWN], 1);
    EXPECT_EQ(received[WM_MOUSEMOVE], 0);  // swallowed: the window saw WM_NULL
    EXPECT_EQ(received[WM_NULL], 3);
    Addon().eventSink.DetachThread();  // the preview's own reference goes with it
    EXPECT_TRUE(tab.page.AllReleased());
}

TEST_F(TabThread, AMessageThatIsOnlyPeekedAtIsHandledAtItsRemoval) {
    Addon().eventSink.AttachThread(tab.Browser());
    Drag({{100, 100}});
    ::PostMessageW(windows.content, WM_MOUSEMOVE, MK_LBUTTON, Client(90, 80));
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, windows.content, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.message, UINT(WM_MOUSEMOVE));
    EXPECT_TRUE(tab.page.window.scrolls.empty());
    ASSERT_TRUE(::PeekMessageW(&msg, windows.content, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, UINT(WM_NULL));
    EXPECT_EQ(tab.page.window.scrolls, (Scrolls{{5, 10}}));
}

TEST_F(TabThread, ATwoFingerTapResetsTheTabsZoomAndClosesItsHandle) {
    Addon().eventSink.AttachThread(tab.Browser());
    gestureId = GID_TWOFINGERTAP;
    Deliver(windows.content, WM_GESTURE, GID_TWOFINGERTAP, 0x1234);
    ASSERT_EQ(tab.page.browser.execCalls.size(), 1u);
    EXPECT_EQ(tab.page.browser.execCalls[0].inputValue, 100);
    EXPECT_EQ(StoredZoomFactor(), 100000u);
    EXPECT_EQ(closes.load(), 1);
    EXPECT_EQ(received[WM_GESTURE], 0);
}

TEST_F(TabThread, PanRotateAndPressAndTapReachTheWindow) {
    Addon().eventSink.AttachThread(tab.Browser());
    for (DWORD id : {DWORD(GID_PAN), DWORD(GID_ROTATE), DWORD(GID_PRESSANDTAP)}) {
        gestureId = id;
        Deliver(windows.content, WM_GESTURE, id, 0x1234);
    }
    EXPECT_EQ(received[WM_GESTURE], 3);
    EXPECT_EQ(closes.load(), 0);
    EXPECT_TRUE(tab.page.browser.execCalls.empty());
}

TEST_F(TabThread, APinchOnAThreadWithoutPreviewShowsOneBoxAtATimeAndIsSwallowed) {
    Addon().eventSink.AttachThread(tab.Browser());
    // The hook stays; the thread's preview object is taken out of its table entry.
    std::unique_ptr<CZoomPreview> own(Addon().eventSink.previewTable.Lookup(::GetCurrentThreadId()));
    Addon().eventSink.previewTable.Remove(::GetCurrentThreadId());
    gestureId = GID_ZOOM;
    const DWORD self = ::GetCurrentThreadId();
    const HWND content = windows.content;
    std::size_t boxesWhilePinching = 0;
    std::thread answerer([&] {
        std::vector<HWND> boxes;
        for (int i = 0; i < 500 && boxes.empty(); ++i, ::Sleep(10)) boxes = ErrorBoxes(self);
        if (boxes.empty()) return;
        // The box's modal loop takes two more pinches meanwhile.
        ::PostMessageW(content, WM_GESTURE, GID_ZOOM, 0x1234);
        ::PostMessageW(content, WM_GESTURE, GID_ZOOM, 0x1234);
        for (int i = 0; i < 500 && closes < 3; ++i) ::Sleep(10);
        ::Sleep(100);
        boxesWhilePinching = ErrorBoxes(self).size();
        for (HWND box : ErrorBoxes(self)) ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    });
    Deliver(content, WM_GESTURE, GID_ZOOM, 0x1234);  // returns once the box is closed
    answerer.join();
    Drain();
    EXPECT_EQ(boxesWhilePinching, 1u);
    EXPECT_EQ(closes.load(), 3);
    EXPECT_EQ(received[WM_GESTURE], 0);
    EXPECT_TRUE(ErrorBoxes(self).empty());
}

TEST_F(TabThread, DetachRemovesHookAndPreviewAndTheCurrentTab) {
    Addon().eventSink.AttachThread(tab.Browser());
    Addon().eventSink.DetachThread();
    DWORD thread = ::GetCurrentThreadId();
    EXPECT_EQ(Addon().eventSink.hookTable.Lookup(thread), nullptr);
    EXPECT_EQ(Addon().eventSink.previewTable.Lookup(thread), nullptr);
    EXPECT_EQ(Addon().currentPreview.load(), nullptr);
    Drag({{100, 100}, {90, 80}});
    EXPECT_TRUE(tab.page.window.scrolls.empty());
    EXPECT_EQ(received[WM_MOUSEMOVE], 2);  // no hook any more
}

TEST_F(TabThread, ASecondAttachmentReplacesTheFirst) {
    Addon().eventSink.AttachThread(tab.Browser());
    int hooks = Addon().eventSink.hookTable.Count();
    int previews = Addon().eventSink.previewTable.Count();
    Addon().eventSink.DetachThread();
    Addon().eventSink.AttachThread(tab.Browser());
    EXPECT_EQ(Addon().eventSink.hookTable.Count(), hooks);
    EXPECT_EQ(Addon().eventSink.previewTable.Count(), previews);
    EXPECT_NE(Addon().eventSink.hookTable.Lookup(::GetCurrentThreadId()), nullptr);
    Drag({{100, 100}, {90, 80}});
    EXPECT_EQ(tab.page.window.scrolls, (Scrolls{{5, 10}}));
}

TEST_F(TabThread, TabsOnSeveralThreadsAttachAndDetachSideBySide) {
    int hooks = Addon().eventSink.hookTable.Count();
    int previews = Addon().eventSink.previewTable.Count();
    std::vector<std::thread> threads;
    std::atomic<int> attached{0};
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([&] {
            TabWindows own;
            TabBrowser browser(own.shell.get());
            for (int i = 0; i < 10; ++i) {
                Addon().eventSink.DetachThread();
                Addon().eventSink.AttachThread(browser.Browser());
                if (Addon().eventSink.previewTable.Lookup(::GetCurrentThreadId())) ++attached;
                Drain();
            }
            Addon().eventSink.DetachThread();
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(attached.load(), 30);
    EXPECT_EQ(Addon().eventSink.hookTable.Count(), hooks);
    EXPECT_EQ(Addon().eventSink.previewTable.Count(), previews);
    EXPECT_EQ(Addon().currentPreview.load(), nullptr);
}

namespace {

// The button messages that reached the innermost window of Wine's control.
WNDPROC controlProcedure = nullptr;
int controlButtonMessages = 0;
LRESULT CALLBACK CountingControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (IsMouseButtonMessage(message)) ++controlButtonMessages;
    return ::CallWindowProcW(controlProcedure, window, message, wParam, lParam);
}

}  // namespace

TEST_F(TabThread, ATapOnThePreviewMovesNothingReachesNothingAndAPinchThereStillArrives) {
    // The browser's frame, on the tab's thread, active with the focus in a field.
    Register(L"TabThreadFrame");
    pinchwell::UniqueWindow frame(::CreateWindowExW(0, L"TabThreadFrame", L"frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                                    0, 0, 640, 480, nullptr, nullptr, Module(), nullptr));
    HWND field = Child(L"EDIT", frame.get(), 10, 10, 200, 24);
    ::SetForegroundWindow(frame.get());
    ::SetFocus(field);
    Addon().eventSink.AttachThread(tab.Browser());  // its preview holds Wine's WebBrowser control
    CZoomPreview* preview = Addon().eventSink.previewTable.Lookup(::GetCurrentThreadId());
    VARIANT_BOOL silent = VARIANT_FALSE;
    preview->previewBrowser->Browser()->get_Silent(&silent);
    EXPECT_EQ(silent, VARIANT_TRUE) << "the control may show a script error dialog";
    HWND host = preview->hostWindow.get();
    ASSERT_TRUE(preview->PlacePreview(windows.content));
    ::ShowWindow(host, SW_SHOWNA);
    HWND innermost = host;
    while (HWND child = ::GetWindow(innermost, GW_CHILD)) innermost = child;
    controlProcedure = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(innermost, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&CountingControlProc)));

    RECT r;
    ::GetWindowRect(innermost, &r);
    ::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    INPUT click[2] = {};
    click[0].type = click[1].type = INPUT_MOUSE;
    click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ASSERT_EQ(::SendInput(2, click, sizeof(INPUT)), 2u);
    testwindows::TimerMessages(host, 200);  // the thread takes the click
    EXPECT_EQ(::GetActiveWindow(), frame.get());
    EXPECT_EQ(::GetFocus(), field);
    EXPECT_EQ(controlButtonMessages, 0) << "the control handled the click";
    EXPECT_EQ(received[WM_LBUTTONDOWN] + received[WM_LBUTTONUP], 0) << "the page beneath was clicked";

    gestureId = GID_ZOOM;
    gestureFlags = GF_BEGIN;
    Deliver(innermost, WM_GESTURE, GID_ZOOM, 0x1234);
    EXPECT_EQ(tab.page.browser.execCalls.size(), 1u) << "the pinch start did not read the tab's zoom";
    ::SetWindowLongPtrW(innermost, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProcedure));
}

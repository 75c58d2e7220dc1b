// Tessel.dll end to end under Wine: registered with regsvr32, created by CoCreateInstance
// through its registration and given browser sites through IObjectWithSite::SetSite on
// tab threads that run message loops, as the browser does. Wine's own WebBrowser object
// shows advise and unadvise on a real connection point; a substitute browser over a
// window tree of the browser's class names shows the hook, the preview and the event
// sink at work. Gestures reach Tessel.dll through its own import of user32's gesture
// functions, which the test points at a reader of its own (Wine's always fails).
#include <gtest/gtest.h>

#include <windows.h>
#include <exdisp.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include <pinchwell/ComInit.h>
#include <pinchwell/ComPtr.h>

#include "ComIds.h"
#include "ImportPatch.h"
#include "ProgramFolder.h"
#include "TabSite.h"
#include "TesselLib.h"
#include "TesselLibrary.h"
#include "TestFiles.h"

namespace {

constexpr DISPID kDocumentComplete = 259;
constexpr DISPID kWindowStateChanged = 283;
constexpr std::int32_t kMinZoom = 100;  // the bounds config.ini gives
constexpr std::int32_t kMaxZoom = 300;

using Scrolls = std::vector<std::pair<LONG, LONG>>;
using substitute::Dispatch;
using substitute::Int;

// ---- Gestures: handles the test makes up, answered by its reader inside Tessel.dll.

struct GestureRecord {
    GESTUREINFO info;
    int reads = 0;
    int closes = 0;
};

std::mutex gestureMutex;
std::map<HGESTUREINFO, GestureRecord> gestures;

HGESTUREINFO MakeGesture(DWORD id, DWORD flags, std::uint16_t distance) {
    std::lock_guard<std::mutex> lock(gestureMutex);
    auto handle = reinterpret_cast<HGESTUREINFO>(static_cast<ULONG_PTR>(0x7100 + gestures.size()));
    GESTUREINFO info = {};
    info.dwID = id;
    info.dwFlags = flags;
    info.ullArguments = distance;
    gestures[handle] = {info};
    return handle;
}

GestureRecord Gesture(HGESTUREINFO handle) {
    std::lock_guard<std::mutex> lock(gestureMutex);
    return gestures[handle];
}

BOOL WINAPI ReadTestGesture(HGESTUREINFO handle, PGESTUREINFO info) {
    std::lock_guard<std::mutex> lock(gestureMutex);
    auto found = gestures.find(handle);
    if (found == gestures.end() || !info) {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    ++found->second.reads;
    info->dwID = found->second.info.dwID;
    info->dwFlags = found->second.info.dwFlags;
    info->ullArguments = found->second.info.ullArguments;
    return TRUE;
}

BOOL WINAPI CloseTestGesture(HGESTUREINFO handle) {
    std::lock_guard<std::mutex> lock(gestureMutex);
    auto found = gestures.find(handle);
    if (found == gestures.end()) return FALSE;
    ++found->second.closes;
    return TRUE;
}

// ---- The prefix: registration and the program folder's config.ini.

std::filesystem::path ProductFolder() { return std::filesystem::path(GetProgramFilesFolder()) / "Kestrune"; }

HMODULE LoadedTessel() { return ::GetModuleHandleW(L"Tessel.dll"); }

// Calls the library's entry point as the loader does.
BOOL CallTesselEntryPoint(DWORD reason, void* reserved) {
    auto base = reinterpret_cast<BYTE*>(LoadedTessel());
    auto dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    auto headers = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    using EntryPoint = BOOL(WINAPI*)(HINSTANCE, DWORD, void*);
    auto entry = reinterpret_cast<EntryPoint>(base + headers->OptionalHeader.AddressOfEntryPoint);
    return entry(LoadedTessel(), reason, reserved);
}

HRESULT TesselCanUnloadNow() {
    auto canUnload = ModuleExport<DllCanUnloadNowFn>(LoadedTessel(), "DllCanUnloadNow");
    return canUnload ? canUnload() : E_FAIL;
}

// ---- What a tab shows.

struct WindowCount {
    const wchar_t* title;
    int count;
};

BOOL CALLBACK CountTitled(HWND window, LPARAM found) {
    auto* counting = reinterpret_cast<WindowCount*>(found);
    wchar_t title[64] = {};
    ::GetWindowTextW(window, title, 64);
    if (std::wstring(title) == counting->title) ++counting->count;
    return TRUE;
}

// The preview's hidden windows that the thread has.
int MockupWindows(DWORD thread) {
    WindowCount counting{L"Pinchwell - Mockup", 0};
    ::EnumThreadWindows(thread, CountTitled, reinterpret_cast<LPARAM>(&counting));
    return counting.count;
}

// The zooms set on a substitute browser (ExecWB with an input value), in order.
std::vector<LONG> ZoomsSet(const substitute::WebBrowser& browser) {
    std::vector<LONG> zooms;
    for (const auto& call : browser.execCalls)
        if (call.command == OLECMDID_OPTICAL_ZOOM && call.input) zooms.push_back(call.inputValue);
    return zooms;
}

VARIANT Text() {
    VARIANT v;
    ::VariantInit(&v);
    V_VT(&v) = VT_BSTR;
    V_BSTR(&v) = nullptr;
    return v;
}

// WindowStateChanged with the flags and the valid-flags mask (raised on the tab's thread).
void FireWindowState(TabSite& tab, LONG flags, LONG mask) {
    tab.Run([&] { tab.page.browser.events.Fire(kWindowStateChanged, {Int(VT_I4, mask), Int(VT_I4, flags)}); });
}

// DocumentComplete of the given browser or frame (raised on the tab's thread).
void FireDocumentComplete(TabSite& tab, IDispatch* completed) {
    tab.Run([&] { tab.page.browser.events.Fire(kDocumentComplete, {Text(), Dispatch(completed)}); });
}

struct DragOutcome {
    Scrolls scrolls;
    int movesReceived = 0;  // moves that reached the content window unswallowed
};

class TesselEndToEnd : public StoredZoomTest {
protected:
    static void SetUpTestSuite() {
        std::filesystem::create_directories(ProductFolder() / "Pinchwell");
        std::ofstream(GetConfigPath(), std::ios::binary)
            << "[Pinchwell]\r\nEnable=TRUE\r\nTwoFingerTap2Zoom100=TRUE\r\nMaxZoomRange=" << kMaxZoom
            << "\r\nMinZoomRange=" << kMinZoom << "\r\n";
        registered = RunRegsvr32(L"");
    }
    static void TearDownTestSuite() {
        RunRegsvr32(L"/u");
        std::filesystem::remove_all(ProductFolder());
    }

    void SetUp() override {
        StoredZoomTest::SetUp();
        ASSERT_EQ(registered, 0u) << "regsvr32 Tessel.dll";
        ASSERT_TRUE(SUCCEEDED(com_.result()));
        // The library comes from its registration: the first object loads it.
        pinchwell::ComPtr<IObjectWithSite> first;
        ASSERT_EQ(::CoCreateInstance(CLSID_TesselImpl, nullptr, CLSCTX_INPROC_SERVER, IID_IObjectWithSite,
                                     first.put_void()),
                  S_OK);
        ASSERT_TRUE(LoadedTessel());
        EXPECT_EQ(ModulePath(LoadedTessel()), TesselPath());
        // Tessel.dll reads gestures through its import table entries of user32's two
        // functions, which it copies into its gesture reader at its first gesture: patched
        // here, before any gesture, the copies are the test's reader. The test's functions
        // stay valid for the whole process, so the copies never dangle.
        readPatch_ = std::make_unique<ImportPatch>(LoadedTessel(), "user32.dll", "GetGestureInfo",
                                                   reinterpret_cast<const void*>(&ReadTestGesture));
        closePatch_ = std::make_unique<ImportPatch>(LoadedTessel(), "user32.dll", "CloseGestureInfoHandle",
                                                    reinterpret_cast<const void*>(&CloseTestGesture));
        ASSERT_GE(readPatch_->Entries(), 1u);
        ASSERT_GE(closePatch_->Entries(), 1u);
    }

    // A press at the screen point, moves through the client points and the release, all
    // posted on the tab's content window while the pointer rests at the point.
    static DragOutcome Drag(TabSite& tab, POINT screen, const std::vector<POINT>& moves) {
        ::SetCursorPos(screen.x, screen.y);
        tab.Run([&] {
            tab.page.window.scrolls.clear();
            tab.received.clear();
        });
        HWND content = tab.Content();
        ::PostMessageW(content, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        for (POINT p : moves) ::PostMessageW(content, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        ::PostMessageW(content, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
        DragOutcome outcome;
        tab.Run([&] {
            outcome.scrolls = tab.page.window.scrolls;
            outcome.movesReceived = tab.received[WM_MOUSEMOVE];
        });
        return outcome;
    }

    // A drag in the middle of the tab's content window.
    static DragOutcome DragInTheMiddle(TabSite& tab) {
        RECT r = tab.ContentRect();
        return Drag(tab, {(r.left + r.right) / 2, (r.top + r.bottom) / 2}, {{100, 100}, {90, 80}});
    }
    static Scrolls HalfTravel() { return {{5, 10}}; }  // (100, 100) to (90, 80)

    // A pinch from one finger distance to another, posted on the tab's content window;
    // returns its three handles.
    static std::vector<HGESTUREINFO> Pinch(TabSite& tab, std::uint16_t from, std::uint16_t to) {
        std::vector<HGESTUREINFO> handles = {MakeGesture(GID_ZOOM, GF_BEGIN, from), MakeGesture(GID_ZOOM, 0, to),
                                             MakeGesture(GID_ZOOM, GF_END, to)};
        for (HGESTUREINFO handle : handles)
            ::PostMessageW(tab.Content(), WM_GESTURE, GID_ZOOM, reinterpret_cast<LPARAM>(handle));
        tab.Run([] {});
        return handles;
    }

    // A two-finger tap posted on the tab's content window.
    static void Tap(TabSite& tab) {
        ::PostMessageW(tab.Content(), WM_GESTURE, GID_TWOFINGERTAP,
                       reinterpret_cast<LPARAM>(MakeGesture(GID_TWOFINGERTAP, 0, 0)));
        tab.Run([] {});
    }

    static DWORD registered;

private:
    pinchwell::ComInit com_;
    std::unique_ptr<ImportPatch> readPatch_;
    std::unique_ptr<ImportPatch> closePatch_;
};
DWORD TesselEndToEnd::registered = 0xFFFFFFFFu;

}  // namespace

// Wine's WebBrowser object, created and not hosted: it offers its connection point
// without a client site, and fires no events.
TEST_F(TesselEndToEnd, AdvisesOnWinesOwnWebBrowserAndUnadvisesWhenTheSiteIsWithdrawn) {
    TabSite tab(120, 100);
    HRESULT attached = E_FAIL, detached = E_FAIL;
    std::vector<CountingBrowser::Call> advises, unadvises;
    std::vector<DWORD> connectedWhileAttached;
    int connectedAfterwards = -1;
    ULONG refsAfterwards = 0;
    int mockups = 0;
    auto connections = [](IConnectionPoint* point) {
        std::vector<DWORD> cookies;
        pinchwell::ComPtr<IEnumConnections> list;
        if (!point || FAILED(point->EnumConnections(list.put())) || !list) return cookies;
        CONNECTDATA data;
        while (list->Next(1, &data, nullptr) == S_OK) {
            cookies.push_back(data.dwCookie);
            if (data.pUnk) data.pUnk->Release();
        }
        return cookies;
    };
    tab.Run([&] {
        ASSERT_EQ(tab.created, S_OK);
        ASSERT_EQ(::CoCreateInstance(comid::kWebBrowserClass, nullptr, CLSCTX_INPROC_SERVER, comid::kWebBrowser2,
                                     tab.wineBrowser.put_void()),
                  S_OK);
        tab.counting = std::make_unique<CountingBrowser>(tab.wineBrowser.get());
        attached = tab.addon->SetSite(static_cast<IWebBrowser2*>(tab.counting.get()));
        advises = tab.counting->advises;
        connectedWhileAttached = connections(tab.counting->RealPoint());
        mockups = MockupWindows(tab.ThreadId());
        detached = tab.Detach();
        unadvises = tab.counting->unadvises;
        connectedAfterwards = static_cast<int>(connections(tab.counting->RealPoint()).size());
        refsAfterwards = tab.counting->refs;
    });
    EXPECT_EQ(attached, S_OK);
    ASSERT_EQ(advises.size(), 1u);
    EXPECT_EQ(advises[0].result, S_OK);
    EXPECT_NE(advises[0].cookie, 0u);
    EXPECT_EQ(connectedWhileAttached, std::vector<DWORD>{advises[0].cookie});
    EXPECT_EQ(mockups, 1);  // attached: the tab has its preview
    EXPECT_EQ(detached, S_OK);
    ASSERT_EQ(unadvises.size(), 1u);
    EXPECT_EQ(unadvises[0].cookie, advises[0].cookie);
    EXPECT_EQ(unadvises[0].result, S_OK);
    EXPECT_EQ(connectedAfterwards, 0);
    EXPECT_EQ(refsAfterwards, 1u);  // the add-on gave back every reference it took
}

TEST_F(TesselEndToEnd, ADragScrollsThePageByHalfTheFingersTravelAwayFromTheScrollBars) {
    TabSite tab(120, 100);
    tab.Run([&] { ASSERT_EQ(tab.AttachSubstitute(), S_OK); });
    const RECT r = tab.ContentRect();
    const LONG midX = (r.left + r.right) / 2, midY = (r.top + r.bottom) / 2;
    const std::vector<POINT> moves = {{100, 100}, {90, 80}, {103, 97}};
    Scrolls halfTravel;
    for (std::size_t i = 1; i < moves.size(); ++i)
        halfTravel.push_back({(moves[i - 1].x - moves[i].x) / 2, (moves[i - 1].y - moves[i].y) / 2});
    // The content window starts below and right of the screen's corner: its scroll bars
    // are the last 30 pixels before its right and bottom edges.
    struct Case {
        const char* where;
        POINT screen;
        bool drags;
    } cases[] = {
        {"middle", {midX, midY}, true},
        {"40 px left of the right edge", {r.right - 40, midY}, true},
        {"20 px left of the right edge", {r.right - 20, midY}, false},
        {"40 px above the bottom edge", {midX, r.bottom - 40}, true},
        {"20 px above the bottom edge", {midX, r.bottom - 20}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        DragOutcome outcome = Drag(tab, c.screen, moves);
        EXPECT_EQ(outcome.scrolls, c.drags ? halfTravel : Scrolls{});
        EXPECT_EQ(outcome.movesReceived, c.drags ? 0 : static_cast<int>(moves.size()));
    }
}

TEST_F(TesselEndToEnd, APinchGoesThroughThePreviewAndCommitsTheClampedZoomToTheTab) {
    TabSite tab(120, 100);
    tab.Run([&] { ASSERT_EQ(tab.AttachSubstitute(), S_OK); });
    struct Case {
        std::uint16_t from, to;
        std::int32_t zoom;
    } cases[] = {
        {100, 150, 100 * 150 / 100},  // within the bounds: as the fingers went
        {100, 400, kMaxZoom},
        {100, 40, kMinZoom},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.to);
        std::vector<LONG> zooms;
        int gesturesReceived = -1;
        tab.Run([&] {
            tab.page.browser.zoom = 100;
            tab.page.browser.execCalls.clear();
            tab.received.clear();
        });
        auto handles = Pinch(tab, c.from, c.to);
        tab.Run([&] {
            zooms = ZoomsSet(tab.page.browser);
            gesturesReceived = tab.received[WM_GESTURE];
        });
        EXPECT_EQ(zooms, std::vector<LONG>{c.zoom});
        EXPECT_EQ(StoredZoomFactor(), std::optional<std::uint32_t>(c.zoom * 1000));
        EXPECT_EQ(gesturesReceived, 0);  // each was swallowed once the preview had it
        for (HGESTUREINFO handle : handles) {
            GestureRecord record = Gesture(handle);
            EXPECT_EQ(record.reads, 2);  // the hook, then the preview
            EXPECT_EQ(record.closes, 1);
        }
    }
}

TEST_F(TesselEndToEnd, ADocumentCompleteOfTheTabsOwnBrowserResetsItsZoomOneOfAFrameDoesNot) {
    TabSite tab(120, 100);
    substitute::WebBrowser frame;
    std::vector<LONG> afterFrame, afterTab;
    tab.Run([&] {
        ASSERT_EQ(tab.AttachSubstitute(), S_OK);
        tab.page.browser.zoom = 250;
    });
    FireDocumentComplete(tab, static_cast<IWebBrowser2*>(&frame));
    tab.Run([&] { afterFrame = ZoomsSet(tab.page.browser); });
    FireDocumentComplete(tab, static_cast<IWebBrowser2*>(&tab.page.browser));
    tab.Run([&] { afterTab = ZoomsSet(tab.page.browser); });
    EXPECT_TRUE(afterFrame.empty());
    EXPECT_EQ(afterTab, std::vector<LONG>{100});
    EXPECT_EQ(StoredZoomFactor(), std::optional<std::uint32_t>(100000));
}

TEST_F(TesselEndToEnd, EachTabsGesturesAndEventsReachOnlyItsOwnBrowserOnItsOwnThread) {
    // a is shown; b opens in the background afterwards and so becomes current; c is hidden.
    TabSite a(120, 100), b(200, 160), c(280, 220);
    a.Run([&] { ASSERT_EQ(a.AttachSubstitute(), S_OK); });
    c.Run([&] { ASSERT_EQ(c.AttachSubstitute(), S_OK); });
    FireWindowState(c, 0, 1);
    FireWindowState(a, 1, 1);
    b.Run([&] { ASSERT_EQ(b.AttachSubstitute(), S_OK); });
    std::vector<TabSite*> tabs{&a, &b, &c};
    auto zooms = [](TabSite& tab) {
        std::vector<LONG> set;
        tab.Run([&] { set = ZoomsSet(tab.page.browser); });
        return set;
    };

    // Gestures act on the tab they happen in, whichever tab is current.
    EXPECT_EQ(DragInTheMiddle(a).scrolls, HalfTravel());
    Pinch(a, 100, 200);
    Tap(a);
    EXPECT_EQ(zooms(a), (std::vector<LONG>{200, 100}));
    // A finished load resets only the current tab: a is not current.
    FireDocumentComplete(a, static_cast<IWebBrowser2*>(&a.page.browser));
    EXPECT_EQ(zooms(a), (std::vector<LONG>{200, 100}));

    // b becomes visible, a hidden: the same holds the other way round.
    FireWindowState(b, 1, 1);
    FireWindowState(a, 0, 1);
    EXPECT_EQ(DragInTheMiddle(a).scrolls, HalfTravel());
    Pinch(b, 100, 150);
    FireDocumentComplete(b, static_cast<IWebBrowser2*>(&b.page.browser));
    FireDocumentComplete(a, static_cast<IWebBrowser2*>(&a.page.browser));
    EXPECT_EQ(zooms(b), (std::vector<LONG>{150, 100}));
    EXPECT_EQ(zooms(a), (std::vector<LONG>{200, 100}));
    EXPECT_TRUE(zooms(c).empty());
    EXPECT_EQ(DragInTheMiddle(c).scrolls, HalfTravel());  // a hidden tab still takes its own drag
    for (TabSite* tab : tabs) EXPECT_EQ(tab->page.browser.strayCalls.load(), 0);
}

TEST_F(TesselEndToEnd, ATabThatOpensAndClosesMeanwhileNeverReachesIntoTheOthers) {
    TabSite a(120, 100), b(200, 160), x(280, 220);
    a.Run([&] { ASSERT_EQ(a.AttachSubstitute(), S_OK); });
    b.Run([&] { ASSERT_EQ(b.AttachSubstitute(), S_OK); });
    auto busy = [&](TabSite& tab, std::uint16_t distance) {
        for (HGESTUREINFO handle : {MakeGesture(GID_ZOOM, GF_BEGIN, 100), MakeGesture(GID_ZOOM, 0, distance),
                                    MakeGesture(GID_ZOOM, GF_END, distance), MakeGesture(GID_TWOFINGERTAP, 0, 0)})
            ::PostMessageW(tab.Content(), WM_GESTURE, 0, reinterpret_cast<LPARAM>(handle));
        HWND content = tab.Content();
        ::PostMessageW(content, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
        for (int i = 1; i <= 5; ++i) ::PostMessageW(content, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100 - i, 100 - i));
        ::PostMessageW(content, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    };
    RECT r = a.ContentRect();
    ::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    for (int round = 0; round < 25; ++round) {
        SCOPED_TRACE(round);
        busy(a, 150);
        busy(b, 250);
        x.Run([&] {
            x.page.browser.closed = false;
            ASSERT_EQ(x.AttachSubstitute(), S_OK);
        });
        busy(a, 180);
        FireWindowState(x, 1, 1);
        FireDocumentComplete(x, static_cast<IWebBrowser2*>(&x.page.browser));
        busy(b, 120);
        x.Run([&] {
            EXPECT_EQ(x.Detach(), S_OK);
            x.page.browser.closed = true;  // from now on any call into it is a stray one
        });
    }
    ::Sleep(100);  // the idle and commit timers of a and b tick meanwhile
    for (TabSite* tab : {&a, &b}) tab->Run([] {});
    for (TabSite* tab : {&a, &b, &x}) EXPECT_EQ(tab->page.browser.strayCalls.load(), 0);
    std::vector<LONG> zooms;
    a.Run([&] { zooms = ZoomsSet(a.page.browser); });
    EXPECT_FALSE(zooms.empty());  // a's own gestures reached a
}

TEST_F(TesselEndToEnd, AnObjectReleasedWithoutSiteWithdrawalTakesItsAttachmentAlong) {
    TabSite gone(120, 100), other(200, 160);
    DWORD cookie = 0;
    std::vector<DWORD> unadvised;
    gone.Run([&] {
        ASSERT_EQ(gone.AttachSubstitute(), S_OK);
        cookie = gone.page.browser.events.cookie;
    });
    other.Run([&] { ASSERT_EQ(other.AttachSubstitute(), S_OK); });
    ASSERT_EQ(MockupWindows(gone.ThreadId()), 1);
    gone.Run([&] {
        gone.addon.reset();  // the last reference, with the site still set
        unadvised = gone.page.browser.events.unadvised;
        gone.page.browser.closed = true;
    });
    EXPECT_EQ(unadvised, std::vector<DWORD>{cookie});
    EXPECT_EQ(MockupWindows(gone.ThreadId()), 0);
    EXPECT_EQ(TesselCanUnloadNow(), S_FALSE);  // other's object

    // COM may now free the library of every apartment: once a tab was attached it stays.
    for (TabSite* tab : {&gone, &other}) tab->Run([] { ::CoFreeUnusedLibraries(); });
    ::CoFreeUnusedLibraries();
    ASSERT_NE(LoadedTessel(), nullptr);
    DragOutcome afterwards = DragInTheMiddle(gone);
    EXPECT_TRUE(afterwards.scrolls.empty());
    EXPECT_EQ(afterwards.movesReceived, 2);  // no hook any more
    Pinch(gone, 100, 200);
    EXPECT_EQ(DragInTheMiddle(other).scrolls, HalfTravel());
    EXPECT_EQ(gone.page.browser.strayCalls.load(), 0);
    EXPECT_EQ(other.page.browser.strayCalls.load(), 0);
}

TEST_F(TesselEndToEnd, OfTwoObjectsOnOneThreadTheOlderGoesWithoutTheNewersHookAndPreview) {
    TabSite tab(120, 100);
    for (bool withdrawn : {true, false}) {
        SCOPED_TRACE(withdrawn ? "the older's site withdrawn" : "the older released with its site");
        pinchwell::ComPtr<IObjectWithSite> older, newer;  // used on the tab's thread
        std::vector<LONG> zooms;
        tab.Run([&] {
            for (auto* object : {&older, &newer}) {
                ASSERT_EQ(::CoCreateInstance(CLSID_TesselImpl, nullptr, CLSCTX_INPROC_SERVER, IID_IObjectWithSite,
                                             object->put_void()),
                          S_OK);
                ASSERT_EQ((*object)->SetSite(static_cast<IWebBrowser2*>(&tab.page.browser)), S_OK);
            }
            if (withdrawn) {
                EXPECT_EQ(older->SetSite(nullptr), S_OK);
            }
            older.reset();
            tab.page.browser.zoom = 100;
            tab.page.browser.execCalls.clear();
        });
        EXPECT_EQ(MockupWindows(tab.ThreadId()), 1);
        EXPECT_EQ(DragInTheMiddle(tab).scrolls, HalfTravel());
        Pinch(tab, 100, 200);
        tab.Run([&] {
            zooms = ZoomsSet(tab.page.browser);
            EXPECT_EQ(newer->SetSite(nullptr), S_OK);
            newer.reset();
        });
        EXPECT_EQ(zooms, std::vector<LONG>{200});
        EXPECT_EQ(MockupWindows(tab.ThreadId()), 0);
    }
}

TEST_F(TesselEndToEnd, ATabThreadThatEndedAttachedLeavesNothingToTheNextThreadOfItsId) {
    TabSite ended(120, 100);
    pinchwell::ComPtr<IObjectWithSite> leftOver;
    ended.Run([&] {
        ASSERT_EQ(ended.AttachSubstitute(), S_OK);
        leftOver = std::move(ended.addon);  // its site is never withdrawn on the tab's thread
    });
    ended.EndThread();
    ended.page.browser.closed = true;  // from now on any call into it is a stray one
    leftOver.reset();                  // released on another thread: it calls nothing
    TabSite next(200, 160, ended.ThreadId());
    ASSERT_EQ(next.ThreadId(), ended.ThreadId()) << "the system did not give the id again";
    next.Run([&] { ASSERT_EQ(next.AttachSubstitute(), S_OK); });
    EXPECT_EQ(DragInTheMiddle(next).scrolls, HalfTravel());
    next.Run([&] { EXPECT_EQ(next.Detach(), S_OK); });
    EXPECT_EQ(MockupWindows(next.ThreadId()), 0);
    EXPECT_EQ(DragInTheMiddle(next).movesReceived, 2);  // unhooked
    EXPECT_EQ(ended.page.browser.strayCalls.load(), 0);
}

TEST_F(TesselEndToEnd, AnEndedTabThreadsObjectReleasedOnTheNextThreadOfItsIdCallsNothing) {
    TabSite ended(120, 100);
    pinchwell::ComPtr<IObjectWithSite> leftOver;
    ended.Run([&] {
        ASSERT_EQ(ended.AttachSubstitute(), S_OK);
        leftOver = std::move(ended.addon);  // its site is never withdrawn on the tab's thread
    });
    ended.EndThread();
    ended.page.browser.closed = true;  // from now on any call into it is a stray one
    TabSite next(200, 160, ended.ThreadId());
    ASSERT_EQ(next.ThreadId(), ended.ThreadId()) << "the system did not give the id again";
    next.Run([&] {
        ASSERT_EQ(next.AttachSubstitute(), S_OK);
        leftOver.reset();  // the same id, another thread
    });
    EXPECT_EQ(ended.page.browser.strayCalls.load(), 0);
    EXPECT_EQ(DragInTheMiddle(next).scrolls, HalfTravel());  // the new tab keeps its own attachment
}

TEST_F(TesselEndToEnd, OnceATabWasAttachedFreeingEveryLoadOfTheLibraryLeavesItLoaded) {
    TabSite tab(120, 100);
    tab.Run([&] {
        ASSERT_EQ(tab.AttachSubstitute(), S_OK);
        EXPECT_EQ(tab.Detach(), S_OK);
        tab.addon.reset();
    });
    ASSERT_EQ(TesselCanUnloadNow(), S_OK);
    const HMODULE loaded = LoadedTessel();
    for (int i = 0; i < 64 && LoadedTessel(); ++i) ::FreeLibrary(loaded);
    EXPECT_EQ(LoadedTessel(), loaded) << "a hook or window procedure could return into freed code";
    EXPECT_EQ(TesselCanUnloadNow(), S_OK);  // and its code still runs
}

TEST_F(TesselEndToEnd, ASiteWithdrawnInTheMiddleOfAPinchFreesThePreviewWhenThePinchReturns) {
    TabSite tab(120, 100);
    int windowsInside = -1;
    tab.Run([&] {
        ASSERT_EQ(tab.AttachSubstitute(), S_OK);
        // The pinch start reads the tab's zoom; the tab closes during that call.
        tab.page.browser.duringExec = [&] {
            EXPECT_EQ(tab.Detach(), S_OK);
            windowsInside = MockupWindows(tab.ThreadId());
        };
    });
    std::vector<HGESTUREINFO> handles = Pinch(tab, 100, 200);
    EXPECT_EQ(windowsInside, 1);  // still in use by the running pinch start
    EXPECT_EQ(MockupWindows(tab.ThreadId()), 0);
    EXPECT_EQ(Gesture(handles[0]).closes, 1);
    int gestures = 0;
    tab.Run([&] { gestures = tab.received[WM_GESTURE]; });
    EXPECT_EQ(gestures, 2);  // update and end: no hook any more
    EXPECT_EQ(tab.page.browser.strayCalls.load(), 0);
}

TEST_F(TesselEndToEnd, AtProcessEndTheStateStaysForATabThatStillRuns) {
    TabSite tab(120, 100);
    std::vector<LONG> zooms;
    tab.Run([&] { ASSERT_EQ(tab.AttachSubstitute(), S_OK); });
    // ExitProcess on another thread: the process ends, and the tab's thread may be anywhere.
    ASSERT_TRUE(CallTesselEntryPoint(DLL_PROCESS_DETACH, reinterpret_cast<void*>(1)));
    EXPECT_EQ(DragInTheMiddle(tab).scrolls, HalfTravel());
    Pinch(tab, 100, 200);
    tab.Run([&] {
        zooms = ZoomsSet(tab.page.browser);
        EXPECT_EQ(tab.Detach(), S_OK);
    });
    EXPECT_EQ(zooms, std::vector<LONG>{200});
    EXPECT_EQ(MockupWindows(tab.ThreadId()), 0);
}

TEST_F(TesselEndToEnd, TabsOnTwoThreadsHaveAHookAndAPreviewEach) {
    TabSite first(120, 100), second(200, 160);
    first.Run([&] { ASSERT_EQ(first.AttachSubstitute(), S_OK); });
    second.Run([&] { ASSERT_EQ(second.AttachSubstitute(), S_OK); });
    EXPECT_EQ(MockupWindows(first.ThreadId()), 1);
    EXPECT_EQ(MockupWindows(second.ThreadId()), 1);
    EXPECT_EQ(DragInTheMiddle(second).scrolls, HalfTravel());
    FireWindowState(first, 1, 1);
    EXPECT_EQ(DragInTheMiddle(first).scrolls, HalfTravel());

    // The first tab closes: the second keeps its hook and preview.
    first.Run([&] { EXPECT_EQ(first.Detach(), S_OK); });
    FireWindowState(second, 1, 1);
    EXPECT_EQ(MockupWindows(first.ThreadId()), 0);
    EXPECT_EQ(MockupWindows(second.ThreadId()), 1);
    EXPECT_EQ(DragInTheMiddle(second).scrolls, HalfTravel());
}

TEST_F(TesselEndToEnd, WithdrawingTheSiteRemovesHookPreviewAndConnectionAndLetsTheLibraryGo) {
    TabSite tab(120, 100);
    DWORD cookie = 0;
    std::vector<DWORD> unadvised;
    bool sinkLeft = true, allReleased = false;
    tab.Run([&] {
        ASSERT_EQ(tab.AttachSubstitute(), S_OK);
        cookie = tab.page.browser.events.cookie;
    });
    ASSERT_NE(cookie, 0u);
    ASSERT_EQ(MockupWindows(tab.ThreadId()), 1);
    ASSERT_EQ(DragInTheMiddle(tab).scrolls, HalfTravel());

    tab.Run([&] {
        EXPECT_EQ(tab.Detach(), S_OK);
        unadvised = tab.page.browser.events.unadvised;
        sinkLeft = tab.page.browser.events.sink != nullptr;
        allReleased = tab.page.AllReleased();
    });
    EXPECT_EQ(unadvised, std::vector<DWORD>{cookie});
    EXPECT_FALSE(sinkLeft);
    EXPECT_TRUE(allReleased);
    EXPECT_EQ(MockupWindows(tab.ThreadId()), 0);
    DragOutcome afterwards = DragInTheMiddle(tab);
    EXPECT_TRUE(afterwards.scrolls.empty());
    EXPECT_EQ(afterwards.movesReceived, 2);  // no hook any more

    EXPECT_EQ(TesselCanUnloadNow(), S_FALSE);  // the tab's object is still held
    tab.Run([&] { tab.addon.reset(); });
    EXPECT_EQ(TesselCanUnloadNow(), S_OK);
}

// Times the tab thread's message hook under Wine (or Windows) and prints medians. Not a
// test: it is built with the Windows flavour and run by hand on a display, in a Wine
// prefix whose program folder holds a config.ini with Enable=TRUE (scripts/run.sh lays
// one out in build/run/wineprefix), for example:
//
//   Xvfb :77 -screen 0 1280x1024x24 -nolisten tcp &
//   DISPLAY=:77 scripts/wine-run.sh build/run/wineprefix build/win64/addon/bench/wine/hook_bench.exe
//
// What it measures, each against an empty hook that only calls CallNextHookEx, in rounds
// that alternate the two so that both see the same machine:
//   other message   a message the hook does not handle, posted, removed and dispatched
//                   (aim: no more than 5 % above the empty hook)
//   direct call     the same, calling the two hook procedures directly, without the queue
//   drag move       a WM_MOUSEMOVE of a drag on the content window of a tab-like window
//                   tree away from the screen's corner: one content window search, the
//                   scroll through a substitute page, the message swallowed (aim: 1 ms)
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

#include <pinchwell/UniqueHandle.h>

#include "AddonState.h"
#include "BenchSamples.h"
#include "GetMsgProc.h"
#include "Substitutes.h"
#include "TestWindows.h"
#include "ZoomPreview.h"

namespace {

constexpr int kRounds = 21;
constexpr int kBatch = 500;       // messages per timed batch of other messages
constexpr int kMovesPerRound = 25;
constexpr UINT kOtherMessage = WM_APP + 7;

using Clock = std::chrono::steady_clock;

double Microseconds(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

LRESULT CALLBACK EmptyHook(int code, WPARAM wParam, LPARAM lParam) {
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// The hook procedure installed on this thread for as long as it lives.
class ThreadHook {
public:
    explicit ThreadHook(HOOKPROC procedure)
        : hook_(::SetWindowsHookExW(WH_GETMESSAGE, procedure, nullptr, ::GetCurrentThreadId())) {}
    ~ThreadHook() {
        if (hook_) ::UnhookWindowsHookEx(hook_);
    }
    ThreadHook(const ThreadHook&) = delete;
    ThreadHook& operator=(const ThreadHook&) = delete;
    explicit operator bool() const { return hook_ != nullptr; }

private:
    HHOOK hook_;
};

using testwindows::Child;
using testwindows::Deliver;
using testwindows::Drain;
using testwindows::Module;
using testwindows::Register;

void OtherMessages(HWND window) {
    Samples emptyQueued{"other message, empty hook", "us"};
    Samples hookQueued{"other message, GetMsgProc", "us"};
    Samples emptyDirect{"direct call, empty hook", "us"};
    Samples hookDirect{"direct call, GetMsgProc", "us"};
    MSG msg = {};
    msg.hwnd = window;
    msg.message = kOtherMessage;
    for (int round = -1; round < kRounds; ++round) {  // round -1 warms up
        auto queued = [&](Samples& samples, HOOKPROC procedure) {
            ThreadHook hook(procedure);
            auto start = Clock::now();
            for (int i = 0; i < kBatch; ++i) Deliver(window, kOtherMessage, 0, 0);
            if (round >= 0) samples.values.push_back(Microseconds(Clock::now() - start) / kBatch);
        };
        auto direct = [&](Samples& samples, HOOKPROC procedure) {
            auto start = Clock::now();
            for (int i = 0; i < kBatch * 20; ++i) procedure(HC_ACTION, PM_REMOVE, reinterpret_cast<LPARAM>(&msg));
            if (round >= 0) samples.values.push_back(Microseconds(Clock::now() - start) / (kBatch * 20));
        };
        queued(emptyQueued, EmptyHook);
        queued(hookQueued, GetMsgProc);
        direct(emptyDirect, EmptyHook);
        direct(hookDirect, GetMsgProc);
    }
    std::printf("A message the hook does not handle (%d rounds of %d):\n", kRounds, kBatch);
    emptyQueued.Print();
    hookQueued.Print();
    std::printf("  ratio through the queue: %.3f\n", hookQueued.Median() / emptyQueued.Median());
    emptyDirect.Print();
    hookDirect.Print();
}

void DragMoves(HWND content) {
    if (!Addon().settings.GetBool(SettingKey::Enable)) {
        std::printf("Drag moves: not measured, \"Enable\" is not \"TRUE\" in the program folder's config.ini\n");
        return;
    }
    RECT rect;
    ::GetWindowRect(content, &rect);
    ::SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    Samples empty{"drag move, empty hook", "us"};
    Samples hook{"drag move, GetMsgProc", "us"};
    auto moves = [&](Samples& samples, HOOKPROC procedure, bool record) {
        ThreadHook installed(procedure);
        Deliver(content, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(200, 200));
        for (int i = 0; i < kMovesPerRound; ++i) {
            LPARAM point = MAKELPARAM(200 + (i % 2) * 10, 200 + (i % 2) * 20);
            auto start = Clock::now();
            Deliver(content, WM_MOUSEMOVE, MK_LBUTTON, point);
            if (record) samples.values.push_back(Microseconds(Clock::now() - start));
        }
        Deliver(content, WM_LBUTTONUP, 0, MAKELPARAM(200, 200));
    };
    for (int round = -1; round < kRounds; ++round) {
        moves(empty, EmptyHook, round >= 0);
        moves(hook, GetMsgProc, round >= 0);
    }
    std::printf("A drag move on the content window at (%ld,%ld)-(%ld,%ld):\n", rect.left, rect.top, rect.right,
                rect.bottom);
    empty.Print();
    hook.Print();
}

}  // namespace

int main() {
    // A tab like the browser's, away from the screen's corner: shell window, toolbars,
    // document view, and the content window below the toolbars.
    for (const wchar_t* name : {L"TabWindowClass", L"ReBarWindow32", L"Shell DocObject View",
                                L"Internet Explorer_Server", L"Internet Explorer_TridentCmboBx"})
        Register(name);
    pinchwell::UniqueWindow shell(::CreateWindowExW(0, L"TabWindowClass", nullptr, WS_POPUP | WS_VISIBLE, 100, 80,
                                                    1000, 800, nullptr, nullptr, Module(), nullptr));
    for (int i = 0; i < 3; ++i) Child(L"ReBarWindow32", shell.get(), 0, i * 20, 1000, 20);
    HWND view = Child(L"Shell DocObject View", shell.get(), 0, 60, 1000, 740);
    HWND content = Child(L"Internet Explorer_Server", view, 0, 0, 1000, 740);
    Child(L"Internet Explorer_TridentCmboBx", content, 10, 10, 100, 20);
    Drain();

    // The tab's browser: a substitute whose shell view is the window above and whose page
    // records the scrolls.
    substitute::PageWithWindow page;
    substitute::OleWindow shellView;
    shellView.window = shell.get();
    page.browser.shellView = &shellView;

    auto preview = std::make_unique<CZoomPreview>();
    preview->browser = pinchwell::ComPtr<IWebBrowser2>(page.browser.AsBrowser());
    // The hook acts on the calling thread's own preview object.
    Addon().eventSink.previewTable.Add(::GetCurrentThreadId(), preview.get());
    Drain();

    OtherMessages(content);
    DragMoves(content);
    std::printf("Scrolls reaching the page: %zu\n", page.window.scrolls.size());

    Addon().eventSink.previewTable.Remove(::GetCurrentThreadId());
    preview.reset();
    return 0;
}

// Times one pinch update of the preview under Wine (or Windows) and prints medians. Not a
// test: it is built with the Windows flavour and run by hand on a display, in a Wine
// prefix whose program folder holds a config.ini with Enable=TRUE, for example:
//
//   Xvfb :77 -screen 0 1280x1024x24 -nolisten tcp &
//   DISPLAY=:77 scripts/wine-run.sh build/run/wineprefix build/win64/addon/bench/wine/pinch_bench.exe
//
// A pinch update is what each WM_GESTURE between a pinch's begin and end costs: the
// damped factor, the preview control's optical zoom and the zoom factor written to the
// registry (HKEY_CURRENT_USER, as the add-on writes it). Measured
//   update, direct         CZoomPreview::UpdatePinch on the preview object
//   update, through hook   a WM_GESTURE posted on the tab's content window, taken from the
//                          queue through GetMsgProc, sent to the preview window, read
//                          through the gesture reader and handled by OnGesture
//   registry write alone   SaveZoomFactor, to show where the time goes
// The preview's control is the real WebBrowser control; the tab is a substitute browser
// over a tab-like window tree. Gestures come from a reader of the bench's own (Wine's
// GetGestureInfo always fails).
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <vector>

#include <pinchwell/UniqueHandle.h>

#include "AddonState.h"
#include "BenchSamples.h"
#include "GestureReader.h"
#include "GetMsgProc.h"
#include "Substitutes.h"
#include "TestWindows.h"
#include "ZoomCommands.h"
#include "ZoomPreview.h"

namespace {

constexpr int kRounds = 21;
constexpr int kUpdatesPerRound = 50;

using Clock = std::chrono::steady_clock;

double Microseconds(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

// The gestures the bench makes up: handle -> flags and finger distance.
std::map<HGESTUREINFO, std::pair<DWORD, std::uint16_t>> gestures;

BOOL WINAPI ReadBenchGesture(HGESTUREINFO handle, PGESTUREINFO info) {
    auto found = gestures.find(handle);
    if (found == gestures.end()) return FALSE;
    info->dwID = GID_ZOOM;
    info->dwFlags = found->second.first;
    info->ullArguments = found->second.second;
    return TRUE;
}

BOOL WINAPI CloseBenchGesture(HGESTUREINFO) { return TRUE; }

HGESTUREINFO Gesture(DWORD flags, std::uint16_t distance) {
    auto handle = reinterpret_cast<HGESTUREINFO>(static_cast<ULONG_PTR>(0x5100 + gestures.size()));
    gestures[handle] = {flags, distance};
    return handle;
}

using testwindows::Child;
using testwindows::Deliver;
using testwindows::Drain;
using testwindows::Module;
using testwindows::Register;

}  // namespace

int main() {
    if (!Addon().settings.GetBool(SettingKey::Enable)) {
        std::printf("Not measured: \"Enable\" is not \"TRUE\" in the program folder's config.ini\n");
        return 1;
    }
    for (const wchar_t* name : {L"TabWindowClass", L"Shell DocObject View", L"Internet Explorer_Server"}) Register(name);
    pinchwell::UniqueWindow shell(::CreateWindowExW(0, L"TabWindowClass", nullptr, WS_POPUP | WS_VISIBLE, 100, 80,
                                                    1000, 800, nullptr, nullptr, Module(), nullptr));
    HWND view = Child(L"Shell DocObject View", shell.get(), 0, 60, 1000, 740);
    HWND content = Child(L"Internet Explorer_Server", view, 0, 0, 1000, 740);
    Drain();

    substitute::PageWithWindow page;
    substitute::OleWindow shellView;
    shellView.window = shell.get();
    page.browser.shellView = &shellView;

    GestureReader previous = SetGestureReader({ReadBenchGesture, CloseBenchGesture});
    auto preview = std::make_unique<CZoomPreview>();
    preview->browser = pinchwell::ComPtr<IWebBrowser2>(page.browser.AsBrowser());
    // The hook acts on the calling thread's own preview object.
    Addon().eventSink.previewTable.Add(::GetCurrentThreadId(), preview.get());
    Drain();
    std::printf("Preview control: %s; zoom bounds %d to %d\n",
                preview->previewBrowser ? "the WebBrowser control" : "none (updates skip the control)",
                static_cast<int>(preview->minZoom), static_cast<int>(preview->maxZoom));

    // The pinch starts at a finger distance of 200; updates alternate between two spreads.
    const std::uint16_t startDistance = 200;
    ::SendMessageW(preview->GetPreviewWindow(), WM_GESTURE, GID_ZOOM,
                   reinterpret_cast<LPARAM>(Gesture(GF_BEGIN, startDistance)));
    const HGESTUREINFO updates[] = {Gesture(0, 300), Gesture(0, 260)};

    Samples direct{"update, direct", "us"};
    Samples hooked{"update, through hook", "us"};
    Samples registry{"registry write alone", "us"};
    pinchwell::UniqueHook hook(::SetWindowsHookExW(WH_GETMESSAGE, GetMsgProc, nullptr, ::GetCurrentThreadId()));
    for (int round = -1; round < kRounds; ++round) {  // round -1 warms up
        const bool record = round >= 0;
        for (int i = 0; i < kUpdatesPerRound; ++i) {
            const double ratio = (i % 2 ? 260.0 : 300.0) / startDistance;
            auto start = Clock::now();
            preview->UpdatePinch(ratio);
            if (record) direct.values.push_back(Microseconds(Clock::now() - start));

            start = Clock::now();
            Deliver(content, WM_GESTURE, GID_ZOOM, reinterpret_cast<LPARAM>(updates[i % 2]));
            if (record) hooked.values.push_back(Microseconds(Clock::now() - start));

            start = Clock::now();
            SaveZoomFactor(i % 2 ? 130 : 150);
            if (record) registry.values.push_back(Microseconds(Clock::now() - start));
        }
    }
    hook.reset();
    std::printf("One pinch update (%d rounds of %d):\n", kRounds, kUpdatesPerRound);
    direct.Print();
    hooked.Print();
    registry.Print();

    ::SendMessageW(preview->GetPreviewWindow(), WM_GESTURE, GID_ZOOM, reinterpret_cast<LPARAM>(Gesture(GF_END, 260)));
    Addon().eventSink.previewTable.Remove(::GetCurrentThreadId());
    preview.reset();
    SetGestureReader(previous);
    return 0;
}

#include "TabSite.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <string>

#include <pinchwell/ComInit.h>
#include <pinchwell/UniqueHandle.h>

#include "TesselLib.h"

namespace {

// A thread message that carries work for the tab's thread (a heap-held std::function).
constexpr UINT kRunWork = WM_APP + 100;

HINSTANCE Module() { return ::GetModuleHandleW(nullptr); }

// Counts, by message, what the content window's procedure receives (the hook's swallowed
// messages arrive as WM_NULL).
LRESULT CALLBACK ContentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (auto* received = reinterpret_cast<std::map<UINT, int>*>(::GetWindowLongPtrW(window, GWLP_USERDATA)))
        ++(*received)[message];
    return ::DefWindowProcW(window, message, wParam, lParam);
}

void RegisterClasses() {
    static const bool registered = [] {
        for (const wchar_t* name : {L"IEFrame", L"Frame Tab", L"TabWindowClass", L"Shell DocObject View",
                                    L"Internet Explorer_Server"}) {
            WNDCLASSEXW wc = {};
            wc.cbSize = sizeof wc;
            wc.lpfnWndProc = std::wstring(name) == L"Internet Explorer_Server" ? ContentProc : ::DefWindowProcW;
            wc.hInstance = Module();
            wc.hCursor = ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow, not the I-beam
            wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
            wc.lpszClassName = name;
            ::RegisterClassExW(&wc);
        }
        return true;
    }();
    (void)registered;
}

HWND Child(const wchar_t* className, HWND parent, int x, int y, int width, int height) {
    return ::CreateWindowExW(0, className, nullptr, WS_CHILD | WS_VISIBLE, x, y, width, height, parent, nullptr,
                             Module(), nullptr);
}

}  // namespace

TabSite::TabSite(int left, int top, DWORD reusedId) {
    constexpr int kMostThreads = 5000;
    for (int attempt = 1;; ++attempt) {
        std::promise<bool> ready;
        auto started = ready.get_future();
        std::thread thread([&, attempt] {
            if (reusedId && ::GetCurrentThreadId() != reusedId && attempt < kMostThreads)
                ready.set_value(false);
            else
                Main(left, top, ready);
        });
        if (started.get()) {
            thread_ = std::move(thread);
            return;
        }
        thread.join();
    }
}

TabSite::~TabSite() { EndThread(); }

void TabSite::EndThread() {
    if (!thread_.joinable()) return;
    ::PostThreadMessageW(threadId_, WM_QUIT, 0, 0);
    thread_.join();
}

void TabSite::Run(const std::function<void()>& work) {
    auto job = std::make_unique<std::packaged_task<void()>>(work);
    auto done = job->get_future();
    if (!::PostThreadMessageW(threadId_, kRunWork, 0, reinterpret_cast<LPARAM>(job.get()))) {
        std::fprintf(stderr, "the tab thread takes no messages\n");
        std::abort();
    }
    job.release();  // the tab's thread owns it now
    if (done.wait_for(std::chrono::seconds(20)) != std::future_status::ready) {
        std::fprintf(stderr, "the tab thread did not answer\n");
        std::abort();
    }
    done.get();
}

RECT TabSite::ContentRect() const {
    RECT rect = {};
    ::GetWindowRect(content_, &rect);
    return rect;
}

HRESULT TabSite::AttachSubstitute() { return addon->SetSite(static_cast<IWebBrowser2*>(&page.browser)); }

HRESULT TabSite::Detach() { return addon->SetSite(nullptr); }

void TabSite::Main(int left, int top, std::promise<bool>& ready) {
    threadId_ = ::GetCurrentThreadId();
    MSG msg;
    ::PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // the thread's queue
    RegisterClasses();
    // The frame, its toolbars' room above the tab, the tab window, the document view and
    // the content window. Not shown: the pointer that tests place never sends this thread
    // messages of its own.
    HWND frame = ::CreateWindowExW(0, L"IEFrame", L"Tab", WS_POPUP, left, top, 1000, 780, nullptr, nullptr, Module(),
                                   nullptr);
    HWND tab = Child(L"TabWindowClass", Child(L"Frame Tab", frame, 0, 80, 1000, 700), 0, 0, 1000, 700);
    content_ = Child(L"Internet Explorer_Server", Child(L"Shell DocObject View", tab, 0, 0, 1000, 700), 0, 0, 1000,
                     700);
    ::SetWindowLongPtrW(content_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&received));
    shellView.window = frame;
    page.browser.shellView = &shellView;
    page.browser.apartment = threadId_;  // as the browser's object, reachable from this thread only
    pinchwell::UniqueWindow ownFrame(frame);
    {
        pinchwell::ComInit com;
        created = ::CoCreateInstance(CLSID_TesselImpl, nullptr, CLSCTX_INPROC_SERVER, IID_IObjectWithSite,
                                     addon.put_void());
        ready.set_value(true);
        while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
            if (!msg.hwnd && msg.message == kRunWork) {
                std::unique_ptr<std::packaged_task<void()>> job(reinterpret_cast<std::packaged_task<void()>*>(msg.lParam));
                (*job)();
                continue;
            }
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (addon) addon->SetSite(nullptr);
        addon.reset();
        counting.reset();
        wineBrowser.reset();
    }
    ::SetWindowLongPtrW(content_, GWLP_USERDATA, 0);
}

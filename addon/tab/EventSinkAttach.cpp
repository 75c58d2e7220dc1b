// The event sink's attachment of the calling tab thread: its hook and its preview object.
#include <memory>

#include "AddonState.h"
#include "GetMsgProc.h"
#include "ThreadAttachment.h"
#include "ZoomPreview.h"

namespace {

struct TabThreadSeams {
    HookHandle InstallHook() {
        return ::SetWindowsHookExW(WH_GETMESSAGE, GetMsgProc, nullptr, ::GetCurrentThreadId());
    }
    void Unhook(HookHandle hook) { ::UnhookWindowsHookEx(static_cast<HHOOK>(hook)); }
    CZoomPreview* CreatePreview(IWebBrowser2* browser) {
        auto preview = std::make_unique<CZoomPreview>();
        preview->browser = pinchwell::ComPtr<IWebBrowser2>(browser);
        return preview.release();
    }
    // Freed now, or when the thread leaves the object if it is still inside it.
    void DestroyPreview(CZoomPreview* preview) { CZoomPreview::Release(preview); }
    std::uint64_t AttachmentOf(CZoomPreview* preview) { return preview->serial; }
};

// A hook, window or timer procedure of the library may be on a tab thread's stack (a
// modal loop, a message pumped during a call) when the browser lets go of the last
// object and frees unused libraries; no lock count covers the instructions that return
// into the library after it drops. So once a tab is attached the library stays loaded
// until the process ends, as a browser keeps its add-ons anyway.
void PinLibrary() {
    static const bool pinned = [] {
        HMODULE module = nullptr;
        return ::GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_PIN | GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                                    reinterpret_cast<LPCWSTR>(&PinLibrary), &module) != FALSE;
    }();
    (void)pinned;
}

AttachmentTables<CZoomPreview> TablesOf(CEventSink& sink) {
    return {sink.previewTable, sink.hookTable, Addon().currentPreview};
}

}  // namespace

std::uint64_t CEventSink::AttachThread(IWebBrowser2* browser) {
    try {
        PinLibrary();
        // Before the hook that writes the record is installed; not at the library's load.
        Addon().ConfigureLogging();
        TabThreadSeams seams;
        const std::uint32_t thread = ::GetCurrentThreadId();
        AttachThreadTo(TablesOf(*this), thread, browser, seams);
        CZoomPreview* preview = previewTable.Lookup(thread);
        return preview ? seams.AttachmentOf(preview) : 0;
    } catch (...) {
        // AttachThreadTo has undone its own steps; nothing else was made.
        return 0;
    }
}

void CEventSink::DetachThread() {
    try {
        TabThreadSeams seams;
        DetachThreadFrom(TablesOf(*this), ::GetCurrentThreadId(), seams);
    } catch (...) {
        // Detach runs inside the browser's SetSite: nothing may leave it.
    }
}

void CEventSink::DetachAttachment(std::uint64_t attachment) {
    try {
        TabThreadSeams seams;
        DetachAttachmentFrom(TablesOf(*this), ::GetCurrentThreadId(), attachment, seams);
    } catch (...) {
        // As for DetachThread.
    }
}

void CEventSink::ForgetThread(std::uint32_t thread) {
    try {
        ForgetThreadIn(TablesOf(*this), thread);
    } catch (...) {
        // A thread's end cannot be refused.
    }
}

void CEventSink::UnhookThread() {
    try {
        TabThreadSeams seams;
        UnhookThreadFrom(TablesOf(*this), ::GetCurrentThreadId(), seams);
    } catch (...) {
        // As for DetachThread.
    }
}

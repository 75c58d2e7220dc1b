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
        preview->browser = browser;  // not counted: the tab's TesselImpl holds the browser
        return preview.release();
    }
    void DestroyPreview(CZoomPreview* preview) { delete preview; }
};

AttachmentTables<CZoomPreview> TablesOf(CEventSink& sink) {
    return {sink.previewTable, sink.hookTable, Addon().currentPreview};
}

}  // namespace

void CEventSink::AttachThread(IWebBrowser2* browser) {
    try {
        TabThreadSeams seams;
        AttachThreadTo(TablesOf(*this), ::GetCurrentThreadId(), browser, seams);
    } catch (...) {
        // AttachThreadTo has undone its own steps; nothing else was made.
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

void CEventSink::UnhookThread() {
    try {
        TabThreadSeams seams;
        UnhookThreadFrom(TablesOf(*this), ::GetCurrentThreadId(), seams);
    } catch (...) {
        // As for DetachThread.
    }
}

#include "GetMsgProc.h"

#include <atomic>
#include <optional>

#include "AddonState.h"
#include "GestureReader.h"
#include "MessageHook.h"
#include "WebBrowserHost.h"
#include "ZoomPreview.h"

namespace {

constexpr wchar_t kTabSwitchErrorText[] = L"Error occurred when switch the tab. Please restart the IE.";
constexpr wchar_t kTabSwitchErrorCaption[] = L"Error";

// One error box for the process at a time (the hook runs again inside its modal loop).
std::atomic<bool> errorBoxOpen{false};

// The platform for one message, about the calling thread's own preview object.
class TabThreadPlatform final : public HookPlatform {
public:
    TabThreadPlatform(const MSG& msg, CZoomPreview* preview) : msg_(msg), preview_(preview) {}

    bool IsEnabled() override { return Addon().settings.GetBool(SettingKey::Enable); }
    bool TwoFingerTapResetsZoom() override { return Addon().settings.GetBool(SettingKey::TwoFingerTap2Zoom100); }
    void LogGestureWhileDisabled() override { Addon().logger.LogGestureWhileDisabled(); }

    bool ReadGestureId(std::uint32_t& id) override {
        GESTUREINFO info;
        if (!ReadGestureInfo(GestureHandle(), info)) return false;
        id = info.dwID;
        return true;
    }
    void CloseGesture() override { CloseGestureInfo(GestureHandle()); }

    bool HasCurrentPreview() override { return preview_ != nullptr; }
    void ForwardToPreview() override {
        // The preview closes the gesture handle; with no window to take the pinch (its
        // windows could not be made) the handle is closed here.
        if (HWND window = preview_->GetPreviewWindow())
            ::SendMessageW(window, msg_.message, msg_.wParam, msg_.lParam);
        else
            CloseGesture();
    }
    void ShowTabSwitchError() override {
        ::MessageBoxW(nullptr, kTabSwitchErrorText, kTabSwitchErrorCaption, MB_ICONERROR);
    }
    IBrowserHost* CurrentBrowser() override {
        if (!preview_ || !preview_->browser) return nullptr;
        if (!browser_) browser_.emplace(preview_->browser.get());
        return &*browser_;
    }

    bool IsPreviewWindow(WindowHandle window) override {
        return preview_ && preview_->IsPreviewWindow(static_cast<HWND>(window));
    }
    bool IsTextCursor() override { return ::GetCursor() == ::LoadCursorW(nullptr, MAKEINTRESOURCEW(32513)); }
    bool FindContentWindow(ContentWindow& found) override {
        if (!preview_) return false;
        HWND window = preview_->GetContentWindow();
        RECT rect;
        if (!window || !::GetWindowRect(window, &rect)) return false;
        found.window = window;
        found.rect = {rect.left, rect.top, rect.right, rect.bottom};
        return true;
    }

private:
    HGESTUREINFO GestureHandle() const { return reinterpret_cast<HGESTUREINFO>(msg_.lParam); }

    const MSG& msg_;
    CZoomPreview* preview_;
    std::optional<WebBrowserHost> browser_;  // built at the first need, for this message only
};

void HandleOnTabThread(MSG& msg, bool removing) {
    try {
        // The thread's own object, kept alive for the whole message even if its tab lets
        // go of it meanwhile (the error box's modal loop, a pumped message).
        CZoomPreview* preview = Addon().eventSink.previewTable.Lookup(::GetCurrentThreadId());
        CZoomPreview::Use use(preview);
        DragState noDrag;  // a thread without a preview object never drags
        TabThreadPlatform platform(msg, preview);
        HookState state{preview ? preview->drag : noDrag, errorBoxOpen};
        HookMessage message;
        message.message = msg.message;
        message.removing = removing;
        message.window = msg.hwnd;
        message.lParam = static_cast<std::uint64_t>(msg.lParam);
        message.x = msg.pt.x;
        message.y = msg.pt.y;
        if (HandleHookMessage(message, platform, state) == HookResult::Swallow) msg.message = WM_NULL;
    } catch (...) {
        // The message passes on as it came.
    }
}

}  // namespace

LRESULT CALLBACK GetMsgProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code >= 0 && lParam) {
        MSG& msg = *reinterpret_cast<MSG*>(lParam);
        if (MayBeHandledMessage(msg.message)) HandleOnTabThread(msg, wParam == PM_REMOVE);
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

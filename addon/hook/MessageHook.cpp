#include "MessageHook.h"

#include "ZoomCommands.h"

namespace {

// Clears the open-box mark however the box's call ends.
class ErrorBoxMark {
public:
    explicit ErrorBoxMark(std::atomic<bool>& open) : open_(open) {}
    ~ErrorBoxMark() { open_ = false; }
    ErrorBoxMark(const ErrorBoxMark&) = delete;
    ErrorBoxMark& operator=(const ErrorBoxMark&) = delete;

private:
    std::atomic<bool>& open_;
};

HookResult OnGesture(HookPlatform& platform, HookState& state) {
    if (!platform.IsEnabled()) {
        platform.LogGestureWhileDisabled();
        return HookResult::Pass;
    }
    std::uint32_t id = 0;
    if (!platform.ReadGestureId(id)) return HookResult::Pass;
    switch (id) {
        case hookmsg::kGestureZoom:
            if (platform.HasCurrentPreview()) {
                platform.ForwardToPreview();
                return HookResult::Swallow;
            }
            // Nowhere to send it: swallowed, so the browser's own zoom does not start
            // half-way through a pinch that the add-on was meant to take.
            platform.CloseGesture();
            if (!state.errorBoxOpen.exchange(true)) {
                ErrorBoxMark mark(state.errorBoxOpen);
                platform.ShowTabSwitchError();
            }
            return HookResult::Swallow;
        case hookmsg::kGestureTwoFingerTap:
            if (platform.TwoFingerTapResetsZoom() && platform.HasCurrentPreview()) {
                SetBrowserZoom(platform.CurrentBrowser(), 100);
            }
            platform.CloseGesture();
            return HookResult::Swallow;
        default:
            return HookResult::Pass;
    }
}

HookResult OnMove(const HookMessage& message, HookPlatform& platform, HookState& state) {
    // Most moves happen without a drag: they cost no settings lookup.
    DragState& drag = state.drag;
    if (!drag.dragging || !platform.IsEnabled()) return HookResult::Pass;
    ClientPoint point = ClientPointFromLParam(message.lParam);
    if (!IsDragTarget(message.window, message.x, message.y, platform)) {
        drag.dragging = false;
        return HookResult::Pass;
    }
    IBrowserHost* browser = platform.CurrentBrowser();
    if (!browser) return HookResult::Swallow;
    DragStep step = NextDragStep(drag.lastX, drag.lastY, point.x, point.y);
    if (step.scroll) browser->ScrollBy(step.dx, step.dy);
    drag.lastX = point.x;
    drag.lastY = point.y;
    return HookResult::Swallow;
}

}  // namespace

bool IsDragTarget(WindowHandle window, std::int32_t x, std::int32_t y, HookPlatform& platform) {
    // The cursor first: over text no window search is needed.
    if (platform.IsTextCursor()) return false;
    ContentWindow content;
    return platform.FindContentWindow(content) && window == content.window && IsWithinDragExtent(content.rect, x, y);
}

HookResult HandleHookMessage(const HookMessage& message, HookPlatform& platform, HookState& state) {
    if (!MayBeHandledMessage(message.message) || !message.removing) return HookResult::Pass;
    // The preview is a picture over the page. A press on it would have its control take
    // the focus, which activates the preview's window and takes the browser's frame's
    // activation and focused field away; passed on to the page beneath, it would press
    // whatever lies under the picture there, not what the user sees. So it goes nowhere.
    // A pinch begun on the preview still reaches the hook as any gesture does.
    if (IsMouseButtonMessage(message.message) && platform.IsPreviewWindow(message.window)) return HookResult::Swallow;
    switch (message.message) {
        case hookmsg::kGesture:
            return OnGesture(platform, state);
        case hookmsg::kLButtonDown:
            if (platform.IsEnabled() && IsDragTarget(message.window, message.x, message.y, platform)) {
                state.drag = DragState{true, 0, 0};
            }
            return HookResult::Pass;
        case hookmsg::kLButtonUp:
            if (platform.IsEnabled() && IsDragTarget(message.window, message.x, message.y, platform)) {
                state.drag.dragging = false;
            }
            return HookResult::Pass;
        case hookmsg::kMouseMove:
            return OnMove(message, platform, state);
        default:
            return HookResult::Pass;
    }
}

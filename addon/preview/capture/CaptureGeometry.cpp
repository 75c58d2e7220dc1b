#include "CaptureGeometry.h"

#include <algorithm>

const wchar_t kContentWindowClass[] = L"Internet Explorer_Server";
const wchar_t kFlashWindowClass[] = L"MacromediaFlashPlayerActiveX";

ChildWindowKind ClassifyChildWindow(const std::wstring& className) {
    std::wstring name = className.substr(0, kClassNameBuffer - 1);  // as far as the buffer holds
    if (EqualsIgnoringCase(name, kContentWindowClass)) return ChildWindowKind::Content;
    if (EqualsIgnoringCase(name, kFlashWindowClass)) return ChildWindowKind::FlashPlayer;
    return ChildWindowKind::Other;
}

CaptureInsets InsetsFromMetrics(const CaptureMetrics& m) {
    return {m.edgeWidth, m.edgeHeight, m.scrollBarWidth + m.edgeWidth + m.borderWidth,
            m.scrollBarHeight + m.edgeHeight + m.borderHeight};
}

ScreenRect CaptureRectFromClient(const ScreenRect& client, const CaptureInsets& insets) {
    return {client.left + insets.left, client.top + insets.top, client.right - insets.right,
            client.bottom - insets.bottom};
}

CaptureSize CaptureSizeOf(const ScreenRect& capture) {
    return {capture.right - capture.left, capture.bottom - capture.top};
}

std::optional<ScreenCopy> ScreenCopyArea(const ScreenRect& rect, const ScreenRect& desktop) {
    if (rect.right - rect.left <= 0 || rect.bottom - rect.top <= 0) return std::nullopt;
    const std::int32_t left = std::max(rect.left, desktop.left);
    const std::int32_t top = std::max(rect.top, desktop.top);
    const std::int32_t right = std::min(rect.right, desktop.right);
    const std::int32_t bottom = std::min(rect.bottom, desktop.bottom);
    if (right <= left || bottom <= top) return std::nullopt;
    ScreenCopy copy;
    copy.width = rect.right - rect.left;
    copy.height = rect.bottom - rect.top;
    copy.sourceLeft = left;
    copy.sourceTop = top;
    copy.copyWidth = right - left;
    copy.copyHeight = bottom - top;
    copy.pictureLeft = left - rect.left;
    copy.pictureTop = top - rect.top;
    return copy;
}

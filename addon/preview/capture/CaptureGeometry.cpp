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

ScreenRect CaptureRectFromClient(const ScreenRect& client) {
    return {client.left + 2, client.top + 2, client.right - 20, client.bottom - 20};
}

CaptureSize CaptureSizeOf(const ScreenRect& capture) {
    return {capture.right - capture.left, capture.bottom - capture.top};
}

std::optional<ScreenCopy> ScreenCopyArea(const ScreenRect& rect, std::int32_t screenWidth,
                                         std::int32_t screenHeight) {
    if (rect.right - rect.left <= 0 || rect.bottom - rect.top <= 0) return std::nullopt;
    ScreenCopy copy;
    copy.left = std::max(rect.left, 0);
    copy.top = std::max(rect.top, 0);
    copy.width = std::min(screenWidth, rect.right) - copy.left;
    copy.height = std::min(screenHeight, rect.bottom) - copy.top;
    if (copy.width <= 0 || copy.height <= 0) return std::nullopt;  // wholly off the screen
    return copy;
}

#include "CaptureGeometry.h"

#include <algorithm>

const wchar_t kContentWindowClass[] = L"Internet Explorer_Server";
const wchar_t kFlashWindowClass[] = L"MacromediaFlashPlayerActiveX";

namespace {
wchar_t Lower(wchar_t c) { return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c; }
}  // namespace

bool EqualsIgnoringCase(const std::wstring& a, const std::wstring& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

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

std::wstring PathExtension(const std::wstring& path) {
    std::size_t dot = std::wstring::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (path[i] == L' ' || path[i] == L'\\') dot = std::wstring::npos;
        else if (path[i] == L'.') dot = i;
    }
    return dot == std::wstring::npos ? std::wstring() : path.substr(dot);
}

std::optional<std::size_t> FindEncoderForPath(const std::vector<std::wstring>& encoderExtensions,
                                              const std::wstring& path) {
    std::wstring extension = PathExtension(path);
    for (std::size_t i = 0; i < encoderExtensions.size(); ++i) {
        const std::wstring& patterns = encoderExtensions[i];
        std::size_t start = 0;
        while (start <= patterns.size()) {
            std::size_t end = patterns.find(L';', start);
            if (end == std::wstring::npos) end = patterns.size();
            std::wstring pattern = patterns.substr(start, end - start);
            if (!pattern.empty() && EqualsIgnoringCase(PathExtension(pattern), extension)) return i;
            start = end + 1;
        }
    }
    return std::nullopt;
}

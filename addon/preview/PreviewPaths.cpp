#include "PreviewPaths.h"

#include <algorithm>

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool IsLetter(wchar_t c) { return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z'); }

bool IsDriveSpec(const std::wstring& path) { return path.size() >= 2 && IsLetter(path[0]) && path[1] == L':'; }

bool IsAbsolute(const std::wstring& path) {
    return (IsDriveSpec(path) && path.size() >= 3 && IsSeparator(path[2])) ||
           (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]));
}

// A scheme as the platform's URL parser takes one: two characters or more before the colon.
bool HasScheme(const std::wstring& text) {
    std::size_t colon = text.find(L':');
    if (colon == std::wstring::npos || colon < 2) return false;
    return std::all_of(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(colon), [](wchar_t c) {
        return IsLetter(c) || (c >= L'0' && c <= L'9') || c == L'+' || c == L'-' || c == L'.';
    });
}

bool NeedsEscape(wchar_t c) {
    if (c <= 0x1F || (c >= 0x7F && c <= 0xFF)) return true;
    switch (c) {
    case L' ': case L'"': case L'#': case L'%': case L'&': case L'<': case L'>': case L'[': case L']':
    case L'^': case L'`': case L'{': case L'|': case L'}':
        return true;
    default:
        return false;
    }
}

}  // namespace

std::wstring CaptureImagePath(const std::wstring& tempFolder) {
    if (!IsAbsolute(tempFolder) || !IsSeparator(tempFolder.back())) return {};
    std::wstring path = tempFolder + L"temp.png";
    if (path.size() >= kMaxPathWithNull) return {};
    return path;
}

std::wstring FileUrlFromPath(const std::wstring& path) {
    if (path.empty() || HasScheme(path)) return path;
    static const wchar_t kHex[] = L"0123456789ABCDEF";
    std::wstring url = IsDriveSpec(path) ? L"file:///" : L"file:";
    for (wchar_t c : path) {
        if (c == L'\\') {
            url += L'/';
        } else if (NeedsEscape(c)) {
            url += L'%';
            url += kHex[(c >> 4) & 0xF];
            url += kHex[c & 0xF];
        } else {
            url += c;
        }
    }
    return url;
}

std::wstring CaptureImageUrl(const std::wstring& imagePath) { return FileUrlFromPath(imagePath); }

std::string TemplatePagePath(const std::string& programFilesFolder) {
    return programFilesFolder + "\\Kestrune\\Pinchwell\\Template.html";
}

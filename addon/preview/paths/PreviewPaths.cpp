#include "PreviewPaths.h"

#include "PathText.h"

namespace {

bool IsAbsolute(const std::wstring& path) {
    return (IsDriveSpec(path) && path.size() >= 3 && IsPathSeparator(path[2])) ||
           (path.size() >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1]));
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
    if (!IsAbsolute(tempFolder) || !IsPathSeparator(tempFolder.back())) return {};
    std::wstring path = tempFolder + L"temp.png";
    if (path.size() >= kMaxPathWithNull) return {};
    return path;
}

std::wstring FileUrlFromPath(const std::wstring& path) {
    if (path.empty() || HasUrlScheme(path)) return path;
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

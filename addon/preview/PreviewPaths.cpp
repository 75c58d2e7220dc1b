#include "PreviewPaths.h"

#include <algorithm>

std::wstring CaptureImagePath(const std::wstring& tempFolder) { return tempFolder + L"temp.png"; }

std::wstring CaptureImageUrl(const std::wstring& imagePath) {
    std::wstring url = L"file:///" + imagePath;
    std::replace(url.begin(), url.end(), L'\\', L'/');
    return url;
}

std::string TemplatePagePath(const std::string& programFilesFolder) {
    return programFilesFolder + "\\Kestrune\\Pinchwell\\Template.html";
}

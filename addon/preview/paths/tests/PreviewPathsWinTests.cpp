// The capture URL against the platform's own UrlCreateFromPathW.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <string>

#include "FileUrlCases.h"
#include "PreviewPaths.h"

namespace {
constexpr DWORD kLongestUrl = 2084;  // INTERNET_MAX_URL_LENGTH

std::wstring PlatformUrl(const wchar_t* path) {
    wchar_t url[kLongestUrl] = {};
    DWORD length = kLongestUrl;
    HRESULT hr = ::UrlCreateFromPathW(path, url, &length, 0);
    return SUCCEEDED(hr) ? std::wstring(url) : L"<failed>";
}
}  // namespace

TEST(PreviewPathsOnWindows, FileUrlsAreThoseOfUrlCreateFromPath) {
    for (const FileUrlCase& c : kFileUrlCases) EXPECT_EQ(FileUrlFromPath(c.path), PlatformUrl(c.path)) << c.path;
}

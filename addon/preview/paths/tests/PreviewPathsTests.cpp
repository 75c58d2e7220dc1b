// Where the preview's files are.
#include <gtest/gtest.h>

#include <string>

#include "FileUrlCases.h"
#include "PreviewPaths.h"

TEST(PreviewPaths, TheCaptureFileFollowsTheTemporaryFolderDirectly) {
    EXPECT_EQ(CaptureImagePath(L"C:\\Temp\\"), L"C:\\Temp\\temp.png");
    EXPECT_EQ(CaptureImagePath(L"C:\\Users\\\x5F20\\AppData\\Local\\Temp\\"),
              L"C:\\Users\\\x5F20\\AppData\\Local\\Temp\\temp.png");  // kept whole, beyond the ANSI code page
}

TEST(PreviewPaths, ATemporaryFolderThatDoesNotFitGivesNoCaptureFile) {
    const std::wstring longest = L"C:\\" + std::wstring(kMaxPathWithNull - 1 - 3 - 9, L'a') + L"\\";  // 251 characters
    struct Case {
        const char* what;
        std::wstring folder;
        std::wstring path;
    };
    const Case cases[] = {
        {"empty", L"", L""},
        {"relative", L"Temp\\", L""},
        {"a drive without its root", L"C:Temp\\", L""},
        {"root-relative", L"\\Temp\\", L""},
        {"no trailing separator", L"C:\\Temp", L""},
        {"a UNC folder", L"\\\\server\\share\\", L"\\\\server\\share\\temp.png"},
        {"the longest that fits (259 characters)", longest, longest + L"temp.png"},
        {"one longer", L"C:\\b" + longest.substr(3), L""},
        {"far longer", L"C:\\" + std::wstring(400, L'a') + L"\\", L""},
    };
    for (const Case& c : cases) EXPECT_EQ(CaptureImagePath(c.folder), c.path) << c.what;
    EXPECT_EQ((longest + L"temp.png").size(), kMaxPathWithNull - 1);
}

TEST(PreviewPaths, FileUrlsAreMadeAsThePlatformMakesThem) {
    for (const FileUrlCase& c : kFileUrlCases) EXPECT_EQ(FileUrlFromPath(c.path), c.url) << c.path;
}

TEST(PreviewPaths, TheUrlIsAFileUrlWithForwardSlashes) {
    EXPECT_EQ(CaptureImageUrl(L"C:\\Temp\\temp.png"), L"file:///C:/Temp/temp.png");
    EXPECT_EQ(CaptureImageUrl(CaptureImagePath(L"\\\\server\\share\\")), L"file://server/share/temp.png");
    EXPECT_EQ(CaptureImageUrl(L"C:\\Users\\C#dev 100%\\temp.png"), L"file:///C:/Users/C%23dev%20100%25/temp.png");
    EXPECT_EQ(CaptureImageUrl(L""), L"");  // no capture file, no URL
}

TEST(PreviewPaths, TheTemplatePageLiesInTheProgramFolder) {
    EXPECT_EQ(TemplatePagePath("C:\\Program Files"), "C:\\Program Files\\Kestrune\\Pinchwell\\Template.html");
}

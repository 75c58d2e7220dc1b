// Where the preview's files are.
#include <gtest/gtest.h>

#include "PreviewPaths.h"

TEST(PreviewPaths, TheCaptureFileFollowsTheTemporaryFolderDirectly) {
    EXPECT_EQ(CaptureImagePath(L"C:\\Temp\\"), L"C:\\Temp\\temp.png");
    EXPECT_EQ(CaptureImagePath(L"C:\\Users\\\x5F20\\AppData\\Local\\Temp\\"),
              L"C:\\Users\\\x5F20\\AppData\\Local\\Temp\\temp.png");  // kept whole, beyond the ANSI code page
}

TEST(PreviewPaths, TheUrlIsAFileUrlWithForwardSlashes) {
    EXPECT_EQ(CaptureImageUrl(L"C:\\Temp\\temp.png"), L"file:///C:/Temp/temp.png");
    EXPECT_EQ(CaptureImageUrl(CaptureImagePath(L"\\\\server\\share\\")), L"file://///server/share/temp.png");
}

TEST(PreviewPaths, TheTemplatePageLiesInTheProgramFolder) {
    EXPECT_EQ(TemplatePagePath("C:\\Program Files"), "C:\\Program Files\\Kestrune\\Pinchwell\\Template.html");
}

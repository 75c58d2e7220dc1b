// Where the preview's files are, where the preview goes and when the idle timer hides it.
#include <gtest/gtest.h>

#include "PreviewPaths.h"
#include "PreviewPlacement.h"
#include "PreviewTimers.h"

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

TEST(PreviewPlacement, CoversTheContentWindowToTheShellWindowsRightEdge) {
    PreviewPlacement at = PlaceOverContent({100, 80, 1000, 780}, {130, 120, 930, 720});
    EXPECT_EQ(at.x, 130);
    EXPECT_EQ(at.y, 120);
    EXPECT_EQ(at.width, 870);
    EXPECT_EQ(at.height, 600);
}

TEST(PreviewTimers, TheIdleTimerHidesFrom800MillisecondsWithoutInput) {
    struct {
        std::uint32_t now, last;
        bool idle;
    } const cases[] = {
        {10'000, 9'201, false},
        {10'000, 9'200, true},
        {10'000, 10'000, false},
        {300, 0xFFFFFF00u, false},  // the tick count wrapped 556 ms ago
        {600, 0xFFFFFF00u, true},   // 856 ms ago
    };
    for (const auto& c : cases) EXPECT_EQ(IdleLongEnough(c.now, c.last), c.idle) << c.now << " " << c.last;
}

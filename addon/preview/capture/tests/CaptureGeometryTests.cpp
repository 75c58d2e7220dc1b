// Which windows the content search takes, and which part of the desktop a capture
// copies to which place of its picture.
#include <gtest/gtest.h>

#include <string>

#include "CaptureGeometry.h"

TEST(ClassifyChildWindow, FindsTheContentWindowWithoutRegardToCase) {
    EXPECT_EQ(ClassifyChildWindow(L"Internet Explorer_Server"), ChildWindowKind::Content);
    EXPECT_EQ(ClassifyChildWindow(L"INTERNET EXPLORER_SERVER"), ChildWindowKind::Content);
    EXPECT_EQ(ClassifyChildWindow(L"internet explorer_server"), ChildWindowKind::Content);
}

TEST(ClassifyChildWindow, FindsFlashPlayersWithoutRegardToCase) {
    EXPECT_EQ(ClassifyChildWindow(L"MacromediaFlashPlayerActiveX"), ChildWindowKind::FlashPlayer);
    EXPECT_EQ(ClassifyChildWindow(L"macromediaflashplayeractivex"), ChildWindowKind::FlashPlayer);
}

TEST(ClassifyChildWindow, EverythingElseIsOther) {
    EXPECT_EQ(ClassifyChildWindow(L"Shell DocObject View"), ChildWindowKind::Other);
    EXPECT_EQ(ClassifyChildWindow(L"TabWindowClass"), ChildWindowKind::Other);
    EXPECT_EQ(ClassifyChildWindow(L"Internet Explorer_Server2"), ChildWindowKind::Other);
    EXPECT_EQ(ClassifyChildWindow(L"Internet Explorer_Serve"), ChildWindowKind::Other);
    EXPECT_EQ(ClassifyChildWindow(L""), ChildWindowKind::Other);
}

TEST(ClassifyChildWindow, ReadsAtMost63Characters) {
    std::wstring longName(70, L'x');
    EXPECT_EQ(ClassifyChildWindow(longName), ChildWindowKind::Other);
    EXPECT_EQ(kClassNameBuffer, 64);
}

namespace {
// Windows 7's metrics at 96, 120 and 144 DPI: the edges stay, the scroll bars grow.
constexpr CaptureMetrics kAt96Dpi{2, 2, 1, 1, 17, 17};
constexpr CaptureMetrics kAt120Dpi{2, 2, 1, 1, 21, 21};
constexpr CaptureMetrics kAt144Dpi{2, 2, 1, 1, 26, 26};
}  // namespace

TEST(CaptureRect, An800By600ClientAreaGivesA778By578PictureFromItsOriginPlus2) {
    ScreenRect client{100, 50, 900, 650};
    ScreenRect capture = CaptureRectFromClient(client, InsetsFromMetrics(kAt96Dpi));
    EXPECT_EQ(capture, (ScreenRect{102, 52, 880, 630}));
    CaptureSize size = CaptureSizeOf(capture);
    EXPECT_EQ(size.width, 778);
    EXPECT_EQ(size.height, 578);
}

TEST(CaptureRect, AtHigherDpiTheWiderScrollBarsStayOutOfThePicture) {
    struct Case {
        const char* dpi;
        CaptureMetrics metrics;
        ScreenRect capture;
    } cases[] = {
        {"120", kAt120Dpi, {102, 52, 876, 626}},
        {"144", kAt144Dpi, {102, 52, 871, 621}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.dpi);
        EXPECT_EQ(CaptureRectFromClient({100, 50, 900, 650}, InsetsFromMetrics(c.metrics)), c.capture);
    }
}

namespace {

// A 1920 x 1200 monitor at (-1920, -200) beside a 1280 x 1024 primary: the virtual screen
// reaches from (-1920, -200) to (1280, 1024), and x >= 0, y < 0 lies on neither monitor.
constexpr ScreenRect kTwoMonitors{-1920, -200, 1280, 1024};
constexpr ScreenRect kPrimaryOnly{0, 0, 1280, 1024};

std::string Describe(const std::optional<ScreenCopy>& copy) {
    if (!copy) return "nothing";
    return std::to_string(copy->width) + "x" + std::to_string(copy->height) + " picture, " +
           std::to_string(copy->copyWidth) + "x" + std::to_string(copy->copyHeight) + " from (" +
           std::to_string(copy->sourceLeft) + ", " + std::to_string(copy->sourceTop) + ") at (" +
           std::to_string(copy->pictureLeft) + ", " + std::to_string(copy->pictureTop) + ")";
}

ScreenCopy Copy(std::int32_t width, std::int32_t height, std::int32_t copyWidth, std::int32_t copyHeight,
                std::int32_t sourceLeft, std::int32_t sourceTop, std::int32_t pictureLeft, std::int32_t pictureTop) {
    return {width, height, sourceLeft, sourceTop, copyWidth, copyHeight, pictureLeft, pictureTop};
}

}  // namespace

TEST(ScreenCopyArea, ThePictureIsTheWholeRectangleWithTheDesktopsPartAtItsOffset) {
    struct Case {
        const char* where;
        ScreenRect rect;
        ScreenRect desktop;
        std::optional<ScreenCopy> copy;
    } cases[] = {
        {"on the primary", {102, 52, 880, 630}, kTwoMonitors, Copy(778, 578, 778, 578, 102, 52, 0, 0)},
        {"wholly on the left monitor", {-1500, 100, -722, 678}, kTwoMonitors,
         Copy(778, 578, 778, 578, -1500, 100, 0, 0)},
        {"spanning both", {-400, 100, 378, 678}, kTwoMonitors, Copy(778, 578, 778, 578, -400, 100, 0, 0)},
        {"above the primary, on neither monitor", {102, -150, 880, 428}, kTwoMonitors,
         Copy(778, 578, 778, 578, 102, -150, 0, 0)},
        {"partly left of and below every monitor", {-2000, 900, -1222, 1478}, kTwoMonitors,
         Copy(778, 578, 698, 124, -1920, 900, 80, 0)},
        {"reaching past the desktop's top-left", {-2018, -248, -1240, 330}, kTwoMonitors,
         Copy(778, 578, 680, 530, -1920, -200, 98, 48)},
        {"past the primary's right and bottom", {1002, 902, 1780, 1480}, kTwoMonitors,
         Copy(778, 578, 278, 122, 1002, 902, 0, 0)},
        {"wholly right of the desktop", {1300, 10, 1500, 50}, kTwoMonitors, std::nullopt},
        {"wholly left of the desktop", {-2500, 10, -2100, 50}, kTwoMonitors, std::nullopt},
        {"touching the desktop's right edge", {1280, 10, 1500, 50}, kTwoMonitors, std::nullopt},
        {"touching the desktop's left edge", {-2100, 10, -1920, 50}, kTwoMonitors, std::nullopt},
        {"touching the desktop's bottom edge", {0, 1024, 100, 1100}, kTwoMonitors, std::nullopt},
        // One monitor: what reaches left of or above it is black at its offset, what lies
        // left of it is not pictured at all.
        {"one monitor, reaching left of and above it", {-98, -48, 680, 530}, kPrimaryOnly,
         Copy(778, 578, 680, 530, 0, 0, 98, 48)},
        {"one monitor, wholly left of it", {-500, 10, -100, 50}, kPrimaryOnly, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        EXPECT_EQ(Describe(ScreenCopyArea(c.rect, c.desktop)), Describe(c.copy));
    }
}

TEST(ScreenCopyArea, AnEmptyRectangleGivesNothing) {
    EXPECT_FALSE(ScreenCopyArea({10, 10, 10, 50}, kPrimaryOnly));
    EXPECT_FALSE(ScreenCopyArea({10, 10, 50, 10}, kPrimaryOnly));
    EXPECT_FALSE(ScreenCopyArea({10, 10, 5, 50}, kPrimaryOnly));
    // A client area of 22 pixels or less leaves nothing to capture.
    EXPECT_FALSE(ScreenCopyArea(CaptureRectFromClient({0, 0, 22, 100}, InsetsFromMetrics(kAt96Dpi)), kPrimaryOnly));
}


// Which windows the content search takes, and which part of the screen a capture
// copies.
#include <gtest/gtest.h>

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

TEST(CaptureRect, An800By600ClientAreaGivesA778By578PictureFromItsOriginPlus2) {
    ScreenRect client{100, 50, 900, 650};
    ScreenRect capture = CaptureRectFromClient(client);
    EXPECT_EQ(capture, (ScreenRect{102, 52, 880, 630}));
    CaptureSize size = CaptureSizeOf(capture);
    EXPECT_EQ(size.width, 778);
    EXPECT_EQ(size.height, 578);
}

TEST(ScreenCopyArea, OnTheScreenCopiesTheRectangleAsItIs) {
    auto copy = ScreenCopyArea({102, 52, 880, 630}, 1280, 1024);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->left, 102);
    EXPECT_EQ(copy->top, 52);
    EXPECT_EQ(copy->width, 778);
    EXPECT_EQ(copy->height, 578);
}

TEST(ScreenCopyArea, LeftOfOrAboveTheScreenCopiesFromZero) {
    auto copy = ScreenCopyArea({-98, -48, 680, 530}, 1280, 1024);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->left, 0);
    EXPECT_EQ(copy->top, 0);
    EXPECT_EQ(copy->width, 680);
    EXPECT_EQ(copy->height, 530);
    // The reported size is that of the rectangle, not of the copy.
    EXPECT_EQ(CaptureSizeOf({-98, -48, 680, 530}).width, 778);
}

TEST(ScreenCopyArea, PastTheRightOrBottomEdgeIsCutAtTheEdge) {
    auto copy = ScreenCopyArea({1002, 902, 1780, 1480}, 1280, 1024);
    ASSERT_TRUE(copy);
    EXPECT_EQ(copy->left, 1002);
    EXPECT_EQ(copy->top, 902);
    EXPECT_EQ(copy->width, 278);
    EXPECT_EQ(copy->height, 122);
}

TEST(ScreenCopyArea, AnEmptyRectangleGivesNothing) {
    EXPECT_FALSE(ScreenCopyArea({10, 10, 10, 50}, 1280, 1024));
    EXPECT_FALSE(ScreenCopyArea({10, 10, 50, 10}, 1280, 1024));
    EXPECT_FALSE(ScreenCopyArea({10, 10, 5, 50}, 1280, 1024));
    // A client area of 22 pixels or less leaves nothing to capture.
    EXPECT_FALSE(ScreenCopyArea(CaptureRectFromClient({0, 0, 22, 100}), 1280, 1024));
}

TEST(ScreenCopyArea, ARectangleWhollyOffTheScreenGivesNothing) {
    EXPECT_FALSE(ScreenCopyArea({1300, 10, 1500, 50}, 1280, 1024));
    EXPECT_FALSE(ScreenCopyArea({-500, 10, -100, 50}, 1280, 1024));
}

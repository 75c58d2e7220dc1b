// Where a drag may happen and the client point of a mouse message.
#include <gtest/gtest.h>

#include "DragScroll.h"

TEST(DragExtent, EndsThirtyPixelsBeforeTheRightAndBottomEdges) {
    // A content window below the toolbars: its width (1000) and height (800) are far
    // smaller than its right and bottom edges.
    const ScreenRect window{200, 150, 1200, 950};
    struct Case {
        std::int32_t x, y;
        bool within;
    } cases[] = {
        {1170, 920, true},   // the last point on both axes
        {1171, 920, false},  // on the vertical scroll bar
        {1170, 921, false},  // on the horizontal scroll bar
        {990, 900, true},    // beyond width - 30 and height - 30, still on the page
        {600, 500, true},
    };
    for (const Case& c : cases) EXPECT_EQ(IsWithinDragExtent(window, c.x, c.y), c.within) << c.x << "," << c.y;
}

TEST(DragExtent, EdgesNearTheLimitsDoNotWrap) {
    const ScreenRect window{INT32_MIN, INT32_MIN, INT32_MIN + 10, INT32_MIN + 40};
    EXPECT_FALSE(IsWithinDragExtent(window, INT32_MAX, INT32_MAX));
    EXPECT_FALSE(IsWithinDragExtent(window, INT32_MIN, INT32_MIN));  // right - 30 lies below INT32_MIN
    EXPECT_TRUE(IsWithinDragExtent({0, 0, INT32_MAX, INT32_MAX}, INT32_MAX - 30, INT32_MAX - 30));
}

TEST(ClientPoint, IsTwoSigned16BitHalvesOfLParam) {
    struct Case {
        std::uint64_t lParam;
        std::int32_t x, y;
    } cases[] = {
        {0x00500064u, 100, 80},
        {0xFFFEFFFFu, -1, -2},
        {0x12345678'00010002ull, 2, 1},  // bits above 32 are not part of the point
    };
    for (const Case& c : cases) {
        ClientPoint p = ClientPointFromLParam(c.lParam);
        EXPECT_EQ(p.x, c.x);
        EXPECT_EQ(p.y, c.y);
    }
}

// Where the preview goes at a pinch start.
#include <gtest/gtest.h>

#include "PreviewPlacement.h"

TEST(PreviewPlacement, CoversTheContentWindowToTheShellWindowsRightEdge) {
    PreviewPlacement at = PlaceOverContent({100, 80, 1000, 780}, {130, 120, 930, 720});
    EXPECT_EQ(at.x, 130);
    EXPECT_EQ(at.y, 120);
    EXPECT_EQ(at.width, 870);
    EXPECT_EQ(at.height, 600);
}

// The pinch's zoom bounds as the settings program's sliders show them.
#include <gtest/gtest.h>

#include <climits>

#include "ZoomBounds.h"

TEST(ZoomBounds, EachBoundIsTakenAsItsSliderShowsItAndThePairInOrder) {
    struct Case {
        const char* what;
        int minRead, maxRead;
        int minZoom, maxZoom;
    };
    const Case cases[] = {
        {"both 0 (missing reads 0)", 0, 0, 100, 100},
        {"min missing", 0, 300, 100, 300},
        {"max missing", 200, 0, 100, 200},
        {"negative", -50, -1, 100, 100},
        {"far below and above", INT_MIN, INT_MAX, 100, 500},
        {"above the slider", 900, 900, 500, 500},
        {"max above the slider", 150, 900, 150, 500},
        {"inverted", 300, 100, 100, 300},
        {"inverted and out of range", 900, 50, 100, 500},
        {"normal", 100, 300, 100, 300},
        {"equal", 250, 250, 250, 250},
        {"the slider's ends", 100, 500, 100, 500},
        {"just inside", 101, 499, 101, 499},
    };
    for (const Case& c : cases) {
        ZoomBounds bounds = SaneZoomBounds(c.minRead, c.maxRead);
        EXPECT_EQ(bounds.minZoom, c.minZoom) << c.what;
        EXPECT_EQ(bounds.maxZoom, c.maxZoom) << c.what;
    }
}

// When the idle timer hides the preview.
#include <gtest/gtest.h>

#include "PreviewTimers.h"

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

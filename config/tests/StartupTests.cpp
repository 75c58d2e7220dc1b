// Start-up decisions and the minimised icon's place.
#include <gtest/gtest.h>

#include "MinimizedIcon.h"
#include "Startup.h"

TEST(Startup, MissingSettingsFileWinsOverARunningInstance) {
    EXPECT_EQ(DecideStartup(false, true), StartupAction::ReportMissingSettingsFile);
    EXPECT_EQ(DecideStartup(false, false), StartupAction::ReportMissingSettingsFile);
    EXPECT_EQ(DecideStartup(true, true), StartupAction::ActivateRunningInstance);
    EXPECT_EQ(DecideStartup(true, false), StartupAction::RunDialog);
}

TEST(Startup, OnlyThePropertyValueOneMarksAnInstance) {
    EXPECT_STREQ(kInstanceProperty, "Pinchwell");
    EXPECT_TRUE(IsInstanceMarker(1));
    EXPECT_FALSE(IsInstanceMarker(0));
    EXPECT_FALSE(IsInstanceMarker(2));
    EXPECT_FALSE(IsInstanceMarker(static_cast<std::uintptr_t>(-1)));
}

TEST(MinimizedIcon, CentredWithHalvesRoundedUpAsSignedIntegers) {
    IconOrigin even = MinimizedIconOrigin(160, 40, 32, 32);
    EXPECT_EQ(even.x, 64);
    EXPECT_EQ(even.y, 4);
    IconOrigin odd = MinimizedIconOrigin(161, 41, 32, 32);
    EXPECT_EQ(odd.x, 65);
    EXPECT_EQ(odd.y, 5);
    // A client area smaller than the icon gives negative offsets, truncated toward zero.
    IconOrigin small = MinimizedIconOrigin(20, 0, 32, 32);
    EXPECT_EQ(small.x, -5);
    EXPECT_EQ(small.y, -15);
}

// The add-on's process-wide state and the order in which it is built.
#include <gtest/gtest.h>

#include <cstdlib>

#include "AddonState.h"
#include "ProgramFolder.h"
#include "LoggingForTests.h"
#include "TestFiles.h"

namespace {

class AddonStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteFileBytes(folder.File("log4cxx.properties"), FileLoggingProperties("DEBUG", folder.File("addon.log")));
        WriteFileBytes(folder.File("config.ini"), "[Pinchwell]\r\nEnable=TRUE\r\nMaxZoomRange=300\r\n");
    }
    void TearDown() override { ResetLogging(); }
    TestFolder folder;
};

}  // namespace

TEST_F(AddonStateTest, StartsWithEmptyTablesAndNoCurrentTab) {
    AddonState state(folder.File("log4cxx.properties"), folder.File("config.ini"));
    EXPECT_EQ(state.eventSink.previewTable.Count(), 0);
    EXPECT_EQ(state.eventSink.hookTable.Count(), 0);
    EXPECT_EQ(state.currentPreview.load(), nullptr);
}

TEST_F(AddonStateTest, LoggingIsConfiguredOnceWhenFirstAskedForNotWhenTheStateIsBuilt) {
    AddonState state(folder.File("log4cxx.properties"), folder.File("config.ini"));
    EXPECT_FALSE(state.logger.IsSet());
    state.ConfigureLogging();
    EXPECT_TRUE(state.logger.IsSet());
    // Read once: a file changed afterwards is not read again.
    WriteFileBytes(folder.File("log4cxx.properties"), FileLoggingProperties("INFO", folder.File("addon.log")));
    state.ConfigureLogging();
    if (LogsThroughLog4cxx()) {
        EXPECT_TRUE(state.logger.IsDebugEnabled());
        state.logger.LogGestureWhileDisabled();
        EXPECT_EQ(ReadFileBytes(folder.File("addon.log")), "DEBUG|PinchkitBHO|EventSink|218|GetMsgProc|break\n");
    }
}

TEST_F(AddonStateTest, TheSettingsReadTheGivenFile) {
    AddonState state(folder.File("log4cxx.properties"), folder.File("config.ini"));
    EXPECT_TRUE(state.settings.GetBool("Enable"));
    EXPECT_EQ(state.settings.GetInt("MaxZoomRange"), 300);
    EXPECT_EQ(state.settings.GetInt("MinZoomRange"), 0);
}

TEST_F(AddonStateTest, LoggerSinkAndSettingsAreBuiltInThatOrder) {
    // Members are built in declaration order, which is address order within the record.
    AddonState state(folder.File("log4cxx.properties"), folder.File("config.ini"));
    auto at = [](const void* p) { return reinterpret_cast<std::uintptr_t>(p); };
    EXPECT_LT(at(&state.logger), at(&state.eventSink));
    EXPECT_LT(at(&state.eventSink), at(&state.settings));
}

TEST(AddonStateProcess, IsOneObject) { EXPECT_EQ(&Addon(), &Addon()); }

#ifndef _WIN32
TEST_F(AddonStateTest, TheLibrarysStateReadsBothFilesFromTheProgramFolder) {
    std::string programFiles = folder.File("pf");
    setenv("PINCHWELL_PROGRAM_FILES", programFiles.c_str(), 1);
    // On the host the folder's "\Kestrune\Pinchwell\" part is part of one file name.
    WriteFileBytes(GetLoggingConfigPath(), FileLoggingProperties("DEBUG", folder.File("state.log")));
    WriteFileBytes(GetConfigPath(), "[Pinchwell]\r\nTwoFingerTap2Zoom100=TRUE\r\n");
    {
        AddonState state;
        EXPECT_TRUE(state.settings.GetBool("TwoFingerTap2Zoom100"));
        state.ConfigureLogging();
        state.logger.LogGestureWhileDisabled();
    }
    ResetLogging();
    EXPECT_EQ(ReadFileBytes(folder.File("state.log")), "DEBUG|PinchkitBHO|EventSink|218|GetMsgProc|break\n");
    unsetenv("PINCHWELL_PROGRAM_FILES");
}
#endif

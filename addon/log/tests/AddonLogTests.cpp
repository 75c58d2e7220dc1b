// The logger "PinchkitBHO", its configuration and the one record.
#include <gtest/gtest.h>

#include <cstdlib>

#include "AddonLog.h"
#include "LoggingForTests.h"
#include "TestFiles.h"

namespace {

class AddonLog : public ::testing::Test {
protected:
    void TearDown() override { ResetLogging(); }
    TestFolder folder;
};

}  // namespace

TEST(DebugRecord, NamesTheLoggerMessageAndLocationOfTheHook) {
    EXPECT_STREQ(DebugRecord::kLoggerName, "PinchkitBHO");
    EXPECT_STREQ(DebugRecord::kMessage, "break");
    EXPECT_STREQ(DebugRecord::kFile, "EventSink");
    EXPECT_EQ(DebugRecord::kLine, 218);
    EXPECT_STREQ(DebugRecord::kFunction, "GetMsgProc");
    EXPECT_EQ(DebugOutputRecordText(), L"PinchkitBHO DEBUG EventSink:218 GetMsgProc - break\n");
}

TEST(AddonLogBackend, IsLog4cxxWhereverCMakeFoundIt) {
    EXPECT_STREQ(LoggingBackendName(), LogsThroughLog4cxx() ? "log4cxx" : "OutputDebugStringW");
#ifdef PINCHWELL_LOG4CXX
    EXPECT_TRUE(LogsThroughLog4cxx());
#endif
#ifndef _WIN32
    EXPECT_TRUE(LogsThroughLog4cxx());  // the host build always has the real log4cxx
#endif
}

#ifndef _WIN32
TEST(LoggingConfigPath, IsTheProgramFolderFile) {
    setenv("PINCHWELL_PROGRAM_FILES", "C:\\Program Files", 1);
    EXPECT_EQ(GetLoggingConfigPath(), "C:\\Program Files\\Kestrune\\Pinchwell\\log4cxx.properties");
    unsetenv("PINCHWELL_PROGRAM_FILES");
    EXPECT_EQ(GetLoggingConfigPath(), "\\Kestrune\\Pinchwell\\log4cxx.properties");
}
#endif

TEST_F(AddonLog, TheHolderIsEmptyUntilConfigured) {
    AddonLogger logger;
    EXPECT_FALSE(logger.IsSet());
    EXPECT_FALSE(logger.IsDebugEnabled());
    logger.LogGestureWhileDisabled();  // nothing to write to, and no harm
}

#ifdef PINCHWELL_LOG4CXX
TEST_F(AddonLog, AtDebugTheRecordCarriesBreakAndTheHooksLocation) {
    std::string log = folder.File("addon.log");
    WriteFileBytes(folder.File("log4cxx.properties"), FileLoggingProperties("DEBUG", log));
    AddonLogger logger;
    logger.Configure(folder.File("log4cxx.properties"));
    ASSERT_TRUE(logger.IsSet());
    EXPECT_TRUE(logger.IsDebugEnabled());
    logger.LogGestureWhileDisabled();
    logger.LogGestureWhileDisabled();
    std::string written = ReadFileBytes(log);
    EXPECT_EQ(written, "DEBUG|PinchkitBHO|EventSink|218|GetMsgProc|break\n"
                       "DEBUG|PinchkitBHO|EventSink|218|GetMsgProc|break\n");
}

TEST_F(AddonLog, AtInfoNothingIsWritten) {
    std::string log = folder.File("addon.log");
    WriteFileBytes(folder.File("log4cxx.properties"), FileLoggingProperties("INFO", log));
    AddonLogger logger;
    logger.Configure(folder.File("log4cxx.properties"));
    EXPECT_TRUE(logger.IsSet());
    EXPECT_FALSE(logger.IsDebugEnabled());
    logger.LogGestureWhileDisabled();
    EXPECT_EQ(ReadFileBytes(log), "");
}
#endif

TEST_F(AddonLog, AMissingConfigurationStillGivesTheLogger) {
    AddonLogger logger;
    logger.Configure(folder.File("absent.properties"));
    EXPECT_TRUE(logger.IsSet());
    logger.LogGestureWhileDisabled();  // wherever an unconfigured log4cxx puts it, no crash
}

#if defined(PINCHWELL_LOG4CXX) && !defined(_WIN32)
// The file that the installer puts in the program folder.
namespace {
std::string InstalledProperties() { return ReadFileBytes(PINCHWELL_INSTALL_DIR "/log4cxx.properties"); }

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    std::size_t at = text.find(from);
    if (at != std::string::npos) text.replace(at, from.size(), to);
    return text;
}
}  // namespace

TEST_F(AddonLog, TheInstalledConfigurationKeepsTheRecordOff) {
    setenv("TEMP", folder.Path().c_str(), 1);
    AddonLogger logger;
    logger.Configure(PINCHWELL_INSTALL_DIR "/log4cxx.properties");
    EXPECT_TRUE(logger.IsSet());
    EXPECT_FALSE(logger.IsDebugEnabled());
    logger.LogGestureWhileDisabled();
    EXPECT_EQ(ReadFileBytes(folder.File("Pinchwell.log")), "");
    unsetenv("TEMP");
}

TEST_F(AddonLog, TheInstalledConfigurationSwitchedToDebugWritesTheRecordToTheTempFolder) {
    std::string text = InstalledProperties();
    ASSERT_NE(text.find("log4j.logger.PinchkitBHO=INFO"), std::string::npos) << text;
    WriteFileBytes(folder.File("debug.properties"),
                   Replace(text, "log4j.logger.PinchkitBHO=INFO", "log4j.logger.PinchkitBHO=DEBUG"));
    setenv("TEMP", folder.Path().c_str(), 1);
    AddonLogger logger;
    logger.Configure(folder.File("debug.properties"));
    logger.LogGestureWhileDisabled();
    ResetLogging();  // closes the file
    std::string written = ReadFileBytes(folder.File("Pinchwell.log"));
    EXPECT_NE(written.find("DEBUG"), std::string::npos) << written;
    EXPECT_NE(written.find("PinchkitBHO - break"), std::string::npos) << written;
    EXPECT_NE(written.find("EventSink:218"), std::string::npos) << written;
    EXPECT_NE(written.find("GetMsgProc"), std::string::npos) << written;
    unsetenv("TEMP");
}
#endif

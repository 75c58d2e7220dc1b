// Where the settings file is looked for.
#include <gtest/gtest.h>

#include "ProgramFolder.h"
#include "Settings.h"
#include "TempFolder.h"

#ifdef _WIN32
#include <windows.h>

TEST(ProgramFolder, IsTheShellsProgramFilesFolder) {
    std::string folder = GetProgramFilesFolder();
    char expected[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableA("ProgramFiles", expected, MAX_PATH), 0u);
    EXPECT_EQ(folder, expected);
    EXPECT_EQ(GetConfigPath(), folder + "\\Kestrune\\Pinchwell\\config.ini");
}

TEST(ProgramFolder, TheInstalledSettingsFileIsReadThroughIt) {
    std::string dir = GetProgramFilesFolder() + "\\Kestrune\\Pinchwell";
    std::filesystem::create_directories(dir);
    WriteAll(GetConfigPath(), "[Pinchwell]\r\nEnable=TRUE\r\nMaxZoomRange=300\r\n");
    EXPECT_TRUE(CSettings().GetBool(SettingKey::Enable));
    EXPECT_TRUE(CSettings::SetString(SettingKey::MinZoomRange, "100"));
    EXPECT_EQ(ReadAll(GetConfigPath()), " [Pinchwell]\r\n MinZoomRange=100\r\n Enable=TRUE\r\n MaxZoomRange=300\r\n");
    std::filesystem::remove_all(dir);
}
#else
#include <cstdlib>

TEST(ProgramFolder, ComesFromTheEnvironmentOnTheHost) {
    setenv("PINCHWELL_PROGRAM_FILES", "/opt/pf", 1);
    EXPECT_EQ(GetProgramFilesFolder(), "/opt/pf");
    EXPECT_EQ(GetConfigPath(), "/opt/pf\\Kestrune\\Pinchwell\\config.ini");
    unsetenv("PINCHWELL_PROGRAM_FILES");
    EXPECT_EQ(GetProgramFilesFolder(), "");
    EXPECT_EQ(GetConfigPath(), "\\Kestrune\\Pinchwell\\config.ini");
}
#endif

TEST(ProgramFolder, TheProductSectionIsPinchwell) { EXPECT_EQ(GetProductSection(), "Pinchwell"); }

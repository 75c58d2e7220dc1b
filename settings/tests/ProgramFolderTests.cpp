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

// A 64-bit program sees both program folders; a 32-bit one only its own.
TEST(ProgramFolder, TheSettingsFilesAreThoseOfEveryProgramFolder) {
    char x86[MAX_PATH] = {};
    ASSERT_GT(GetEnvironmentVariableA("ProgramFiles(x86)", x86, MAX_PATH), 0u);
    EXPECT_EQ(GetProgramFilesX86Folder(), x86);
    std::vector<std::string> expected{GetConfigPath()};
    if (sizeof(void*) == 8) expected.push_back(std::string(x86) + "\\Kestrune\\Pinchwell\\config.ini");
    EXPECT_EQ(GetConfigPaths(), expected);
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

TEST(ProgramFolder, EachProgramFolderNamesOneSettingsFile) {
    const std::string tail = "\\Kestrune\\Pinchwell\\config.ini";
    EXPECT_EQ(ConfigPathsOf({"C:\\Program Files", "C:\\Program Files (x86)"}),
              (std::vector<std::string>{"C:\\Program Files" + tail, "C:\\Program Files (x86)" + tail}));
    EXPECT_EQ(ConfigPathsOf({"C:\\Program Files", "c:/PROGRAM FILES\\"}),
              (std::vector<std::string>{"C:\\Program Files" + tail}));
    EXPECT_EQ(ConfigPathsOf({"", "D:\\Apps"}), (std::vector<std::string>{"D:\\Apps" + tail}));
    EXPECT_EQ(ConfigPathsOf({"C:\\Program Files", "C:\\Program Files (x86)2"}).size(), 2u);
    EXPECT_TRUE(ConfigPathsOf({"", ""}).empty());
}

TEST(ProgramFolder, TheProductSectionIsPinchwell) { EXPECT_EQ(GetProductSection(), "Pinchwell"); }

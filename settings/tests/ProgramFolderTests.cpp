// Where the settings file is looked for.
#include <gtest/gtest.h>

#include "ProgramFolder.h"
#include "Settings.h"
#include "TempFolder.h"

#ifdef _WIN32
#include <windows.h>

namespace {
std::string Environment(const char* name) {
    char value[MAX_PATH] = {};
    DWORD length = GetEnvironmentVariableA(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? value : "";
}
}  // namespace

// Both browsers of 64-bit Windows read the 64-bit program folder's files, whatever the
// bitness of the process; 32-bit Windows has one Program Files folder.
TEST(ProgramFolder, IsThe64BitProgramFilesFolderWhereThereIsOne) {
    std::string native = Environment("ProgramW6432");
    std::string expected = native.empty() ? Environment("ProgramFiles") : native;
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(GetProgramFilesFolder(), expected);
    EXPECT_EQ(GetConfigPath(), expected + "\\Kestrune\\Pinchwell\\config.ini");
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

// A 32-bit process on 64-bit Windows is given the "(x86)" folder as its own.
TEST(ProgramFolder, UnderWow64TheNativeFolderWinsWhenKnown) {
    const std::string x64 = "C:\\Program Files";
    const std::string x86 = "C:\\Program Files (x86)";
    struct Row { ProgramFilesFacts facts; std::string folder; };
    for (const Row& row : {Row{{x64, false, ""}, x64}, Row{{x86, true, x64}, x64}, Row{{x86, true, ""}, x86},
                           Row{{x64, false, "D:\\Other"}, x64}, Row{{x86, true, x64 + "\\"}, x64}}) {
        EXPECT_EQ(ProgramFilesFolderOf(row.facts), row.folder)
            << row.facts.ownFolder << "|" << row.facts.underWow64 << "|" << row.facts.nativeFolder;
    }
}

TEST(ProgramFolder, TheProductSectionIsPinchwell) { EXPECT_EQ(GetProductSection(), "Pinchwell"); }

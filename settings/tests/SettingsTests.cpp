// Typed access to the product section and its cache.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "IniFile.h"
#include "Settings.h"
#include "TempFolder.h"

namespace {

class SettingsTest : public ::testing::Test {
protected:
    TempFolder folder;
    std::string path = folder.File("config.ini");
};

}  // namespace

TEST(SettingsText, BooleansAreExactlyTrueInCapitals) {
    EXPECT_TRUE(ParseBool("TRUE"));
    for (const char* no : {"true", "True", " TRUE", "TRUE ", "1", "", "FALSE"}) EXPECT_FALSE(ParseBool(no)) << no;
    EXPECT_STREQ(BoolText(true), "TRUE");
    EXPECT_STREQ(BoolText(false), "FALSE");
}

TEST(SettingsText, IntegersReadLikeAtol) {
    EXPECT_EQ(ParseInt("300"), 300);
    EXPECT_EQ(ParseInt("250%"), 250);
    EXPECT_EQ(ParseInt("  -42x"), -42);
    EXPECT_EQ(ParseInt("+7"), 7);
    EXPECT_EQ(ParseInt(""), 0);
    EXPECT_EQ(ParseInt("abc"), 0);
    EXPECT_EQ(ParseInt("2147483647"), 2147483647);
    EXPECT_EQ(ParseInt("99999999999"), 2147483647);
    EXPECT_EQ(ParseInt("-99999999999"), -2147483647 - 1);
    EXPECT_EQ(IntText(300), "300");
    EXPECT_EQ(IntText(-5), "-5");
    EXPECT_EQ(IntText(0), "0");
}

TEST_F(SettingsTest, ReadsTheFirstLineOfEachKeyOfTheProductSection) {
    WriteAll(path,
             "[Other]\nEnable=TRUE\n[Pinchwell]\n;Enable=FALSE\nEnable=TRUE\nMaxZoomRange=300   \n"
             "MinZoomRange=abc\nEnableFlash=true\nTwoFingerTap2Zoom100 = TRUE\n");
    CSettings settings(path);
    EXPECT_TRUE(settings.GetBool(SettingKey::Enable));  // the commented-out line above is no setting
    EXPECT_EQ(settings.GetInt(SettingKey::MaxZoomRange), 300);
    EXPECT_EQ(settings.GetInt(SettingKey::MinZoomRange), 0);
    EXPECT_FALSE(settings.GetBool(SettingKey::EnableFlash));
    EXPECT_FALSE(settings.GetBool(SettingKey::TwoFingerTap2Zoom100));  // that key is "TwoFingerTap2Zoom100 "
    EXPECT_EQ(settings.GetString("Missing"), "");
}

TEST_F(SettingsTest, OnceTheSectionIsReadLaterChangesAreNotSeen) {
    WriteAll(path, "[Pinchwell]\nMaxZoomRange=300\n");
    CSettings settings(path);
    EXPECT_EQ(settings.GetInt(SettingKey::MaxZoomRange), 300);
    WriteAll(path, "[Pinchwell]\nMaxZoomRange=400\nEnable=TRUE\n");
    EXPECT_EQ(settings.GetInt(SettingKey::MaxZoomRange), 300);
    EXPECT_FALSE(settings.GetBool(SettingKey::Enable));
    EXPECT_EQ(CSettings(path).GetInt(SettingKey::MaxZoomRange), 400);  // a new process reads anew
}

TEST_F(SettingsTest, AnEmptySectionIsReadAgainOnEveryCall) {
    CSettings settings(path);
    EXPECT_EQ(settings.GetString(SettingKey::Enable), "");  // no file yet
    WriteAll(path, "[Pinchwell]\n");
    EXPECT_EQ(settings.GetString(SettingKey::Enable), "");
    WriteAll(path, "[Pinchwell]\nEnable=TRUE\n");
    EXPECT_TRUE(settings.GetBool(SettingKey::Enable));
}

TEST_F(SettingsTest, ThreadsThatReadFirstTogetherAllSeeOneFilledSection) {
    WriteAll(path, "[Pinchwell]\nEnable=TRUE\nMaxZoomRange=300\nMinZoomRange=100\n");
    for (int round = 0; round < 20; ++round) {
        CSettings settings(path);
        std::vector<std::thread> threads;
        std::vector<int> sums(16, 0);
        for (size_t t = 0; t < sums.size(); ++t) {
            threads.emplace_back([&settings, &sums, t] {
                for (int i = 0; i < 50; ++i)
                    sums[t] += settings.GetInt(SettingKey::MaxZoomRange) + settings.GetInt(SettingKey::MinZoomRange) +
                               (settings.GetBool(SettingKey::Enable) ? 1 : 0);
            });
        }
        for (auto& thread : threads) thread.join();
        for (int sum : sums) EXPECT_EQ(sum, 50 * 401);
    }
}

#ifndef _WIN32
// The product's own file, found through the program folder.
TEST_F(SettingsTest, SavesOfTheFiveKeysIntoAnEmptyFileEndInReverseOrder) {
    std::filesystem::create_directories(folder.Path());
    std::string programFiles = folder.File("PF");
    std::string configPath = programFiles + "\\Kestrune\\Pinchwell\\config.ini";
    setenv("PINCHWELL_PROGRAM_FILES", programFiles.c_str(), 1);
    EXPECT_FALSE(CSettings::SetString(SettingKey::Enable, "TRUE"));  // no file: nothing is created
    EXPECT_FALSE(Exists(configPath));
    WriteAll(configPath, "");
    EXPECT_TRUE(CSettings::SetString(SettingKey::Enable, BoolText(true)));
    EXPECT_TRUE(CSettings::SetString(SettingKey::MaxZoomRange, IntText(300)));
    EXPECT_TRUE(CSettings::SetString(SettingKey::MinZoomRange, IntText(100)));
    EXPECT_TRUE(CSettings::SetString(SettingKey::EnableFlash, BoolText(false)));
    EXPECT_TRUE(CSettings::SetString(SettingKey::TwoFingerTap2Zoom100, BoolText(true)));
    EXPECT_EQ(ReadAll(configPath),
              " [Pinchwell]\r\n TwoFingerTap2Zoom100=TRUE\r\n EnableFlash=FALSE\r\n MinZoomRange=100\r\n"
              " MaxZoomRange=300\r\n Enable=TRUE\r\n");
    EXPECT_EQ(CSettings().GetInt(SettingKey::MaxZoomRange), 300);
    unsetenv("PINCHWELL_PROGRAM_FILES");
}
#endif

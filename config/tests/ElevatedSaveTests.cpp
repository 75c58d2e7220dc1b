// Whether a save needs an administrator's rights, and the save handed to a copy of the
// program that has them.
#include <gtest/gtest.h>

#include "ElevatedSave.h"
#include "Settings.h"
#include "TempFolder.h"

TEST(ElevatedSave, OnlyDeniedRightsAskForAnAdministrator) {
    EXPECT_FALSE(NeedsElevation({false, false}));
    EXPECT_TRUE(NeedsElevation({true, false}));
    EXPECT_TRUE(NeedsElevation({false, true}));
}

// Windows describes a token by its elevation type and its groups; User Account Control
// decides whether "runas" can give more. None of these can be made under Wine.
TEST(ElevatedSave, OnlyATokenThatCanBeRaisedIsOfferedTheShield) {
    using T = TokenElevationKind;
    struct Case {
        TokenFacts token;
        bool canGain;
        bool administratorMustSave;
    };
    const Case cases[] = {
        {{T::Limited, false, true}, true, false},   // an administrator's filtered token
        {{T::Default, false, true}, true, false},   // a standard user asks an administrator
        {{T::Default, false, false}, false, true},  // a standard user without User Account Control
        {{T::Default, true, false}, false, false},  // an administrator without it has every right
        {{T::Full, true, true}, false, false},      // raised already
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CanGainAdministratorRights(c.token), c.canGain) << &c - cases;
        EXPECT_EQ(AdministratorMustSave(c.token), c.administratorMustSave) << &c - cases;
    }
}

namespace {
SaveRequest Request(bool allowFlash = true) {
    return {{{"Enable", "TRUE"}, {"MaxZoomRange", "300"}, {"MinZoomRange", "100"}, {"EnableFlash", "FALSE"},
             {"TwoFingerTap2Zoom100", "TRUE"}},
            allowFlash};
}
}  // namespace

TEST(ElevatedSave, ARequestTravelsWhole) {
    for (bool allow : {true, false}) {
        std::vector<std::string> arguments = SaveRequestArguments(Request(allow));
        EXPECT_EQ(arguments.front(), "/save");
        std::optional<SaveRequest> parsed = ParseSaveRequest(arguments);
        ASSERT_TRUE(parsed);
        EXPECT_EQ(parsed->values, Request().values);
        EXPECT_EQ(parsed->allowFlash, allow);
        EXPECT_TRUE(parsed->writeFlash);
    }
    SaveRequest keep = Request();
    keep.writeFlash = false;
    std::optional<SaveRequest> parsed = ParseSaveRequest(SaveRequestArguments(keep));
    ASSERT_TRUE(parsed);
    EXPECT_FALSE(parsed->writeFlash);
}

// The elevated copy writes only what the dialog itself could have written.
TEST(ElevatedSave, AnythingTheDialogCouldNotHaveAskedIsRefused) {
    const std::vector<std::string> good = SaveRequestArguments(Request());
    const std::vector<std::pair<size_t, std::string>> changes = {
        {0, "/SAVE"},           {1, "Enable=true"},        {1, "Enable=TRUE "},      {1, "Enable =TRUE"},
        {2, "MaxZoomRange=501"}, {2, "MaxZoomRange=0300"},  {2, "MaxZoomRange=+300"}, {2, "MaxZoomRange=3e2"},
        {3, "MinZoomRange=300"}, {3, "MinZoomRange=99"},    {1, "MaxZoomRange=300"},  {4, "EnableFlash=1"},
        {5, "TwoFingerTap2Zoom100=TRUE\r\n[Evil]"},         {6, "Flash=yes"},         {6, "Flash=allow;"},
    };
    for (const auto& [index, text] : changes) {
        std::vector<std::string> arguments = good;
        arguments[index] = text;
        EXPECT_FALSE(ParseSaveRequest(arguments)) << index << " " << text;
    }
    std::vector<std::string> longer = good;
    longer.push_back("Extra=1");
    EXPECT_FALSE(ParseSaveRequest(longer));
    EXPECT_FALSE(ParseSaveRequest({good.begin(), good.end() - 1}));
    EXPECT_FALSE(ParseSaveRequest({}));
}

TEST(ElevatedSave, TheReportTravelsBackInTheExitCode) {
    for (FileOutcome outcome : {FileOutcome::Done, FileOutcome::Missing, FileOutcome::NoRights, FileOutcome::InUse,
                                FileOutcome::Failed, FileOutcome::ReadOnly, FileOutcome::Stranded}) {
        for (bool flash : {true, false}) {
            SaveReport sent{{"a", outcome}, flash, false};
            SaveReport back = ReportFromExitCode(ExitCodeOf(sent), "a");
            EXPECT_EQ(back.file.path, "a");
            EXPECT_EQ(back.file.outcome, outcome);
            EXPECT_EQ(back.flashApplied, flash);
        }
    }
    // A refused request, a crash, an outcome no save has: nothing counts as written.
    for (std::uint32_t code : {0u, 1u, kRequestRefusedExitCode, 0xC0000005u, ExitCodeOf({{"a", FileOutcome::Done}}) | 7u,
                               ExitCodeOf({{"a", FileOutcome::Done}}) | 0x100u, 0xE0000000u}) {
        SaveReport back = ReportFromExitCode(code, "a");
        EXPECT_FALSE(back.Saved()) << std::hex << code;
        EXPECT_EQ(back.file.outcome, FileOutcome::Failed);
        EXPECT_FALSE(back.flashApplied);
    }
}

// A copy that ended without a report is judged by what the file and the switch hold.
TEST(ElevatedSave, WithoutAReportTheFileAndTheSwitchAreReadBack) {
    TempFolder folder;
    const std::string path = folder.File("config.ini");
    WriteAll(path, "[Pinchwell]\r\nEnable=TRUE\r\nMaxZoomRange=300\r\nMinZoomRange=100\r\nEnableFlash=FALSE\r\n"
                   "TwoFingerTap2Zoom100=TRUE\r\n");
    CSettings holding(path);
    EXPECT_TRUE(SettingsHold(holding, Request().values));
    IniKeyValues other = Request().values;
    other[1].second = "400";
    CSettings notHolding(path);
    EXPECT_FALSE(SettingsHold(notHolding, other));

    SaveReport written = ReportFromReadBack(path, true, true);
    EXPECT_TRUE(written.Saved());
    SaveReport unwritten = ReportFromReadBack(path, false, false);
    EXPECT_FALSE(unwritten.Saved());
    EXPECT_TRUE(unwritten.readBack);
    EXPECT_FALSE(unwritten.flashApplied);
}

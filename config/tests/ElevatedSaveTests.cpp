// Whether a save needs an administrator's rights, and the save handed to a copy of the
// program that has them.
#include <gtest/gtest.h>

#include "ElevatedSave.h"

TEST(ElevatedSave, OnlyDeniedRightsAskForAnAdministrator) {
    EXPECT_FALSE(NeedsElevation({false, false}));
    EXPECT_TRUE(NeedsElevation({true, false}));
    EXPECT_TRUE(NeedsElevation({false, true}));
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
    }
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
                                FileOutcome::Failed}) {
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
                               ExitCodeOf({{"a", FileOutcome::Done}}) | 0x100u}) {
        SaveReport back = ReportFromExitCode(code, "a");
        EXPECT_FALSE(back.Saved()) << std::hex << code;
        EXPECT_EQ(back.file.outcome, FileOutcome::Failed);
        EXPECT_FALSE(back.flashApplied);
    }
}

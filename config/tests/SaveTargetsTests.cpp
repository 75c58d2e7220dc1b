// Which settings file the dialog shows, where a save goes, and the save handed to a
// copy of the program with an administrator's rights.
#include <gtest/gtest.h>

#include "ElevatedSave.h"
#include "SettingsFiles.h"

TEST(SettingsFiles, TheFileWrittenLastIsShownAndEveryProgramFolderIsSavedTo) {
    // 64-bit folder first; each row: (exists, last write) of both files, the one shown.
    struct Row { bool e0; std::uint64_t t0; bool e1; std::uint64_t t1; int shown; };
    for (const Row& row : {Row{true, 5, true, 9, 1}, Row{true, 9, true, 5, 0}, Row{true, 7, true, 7, 0},
                           Row{false, 0, true, 1, 1}, Row{true, 1, false, 0, 0}, Row{false, 0, false, 0, -1}}) {
        std::vector<SettingsFileFacts> files{{"a", true, row.e0, row.t0}, {"b", true, row.e1, row.t1}};
        EXPECT_EQ(FileToShow(files), row.shown) << row.t0 << " " << row.t1;
    }
    std::vector<SettingsFileFacts> files{{"a", true, false, 0}, {"b", false, false, 0}, {"c", true, true, 3}};
    EXPECT_EQ(SaveTargets(files), (std::vector<std::string>{"a", "c"}));
}

TEST(SettingsFiles, OnlyDeniedRightsAskForAnAdministrator) {
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
    const std::vector<std::string> targets{"a", "b"};
    for (FileOutcome first : {FileOutcome::Done, FileOutcome::Missing, FileOutcome::NoRights, FileOutcome::InUse,
                              FileOutcome::Failed}) {
        for (bool flash : {true, false}) {
            SaveReport sent{{{"a", first}, {"b", FileOutcome::Done}}, flash, false};
            SaveReport back = ReportFromExitCode(ExitCodeOf(sent), targets);
            ASSERT_EQ(back.files.size(), 2u);
            EXPECT_EQ(back.files[0].path, "a");
            EXPECT_EQ(back.files[0].outcome, first);
            EXPECT_EQ(back.files[1].outcome, FileOutcome::Done);
            EXPECT_EQ(back.flashApplied, flash);
        }
    }
    // A refused request, a crash, a copy that saw other folders: nothing counts as written.
    SaveReport oneFile{{{"a", FileOutcome::Done}}, true, false};
    for (std::uint32_t code : {0u, 1u, kRequestRefusedExitCode, 0xC0000005u, ExitCodeOf(oneFile)}) {
        SaveReport back = ReportFromExitCode(code, targets);
        EXPECT_FALSE(back.Saved()) << std::hex << code;
        EXPECT_EQ(back.files[0].outcome, FileOutcome::Failed);
        EXPECT_FALSE(back.flashApplied);
    }
}

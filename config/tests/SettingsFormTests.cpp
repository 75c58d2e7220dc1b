// Filling the dialog's controls from the settings file and saving them back.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ControlBinding.h"
#include "FakeControls.h"
#include "ResourceIds.h"
#include "Settings.h"
#include "SettingsForm.h"
#include "TempFolder.h"
#include "ZoomRange.h"

namespace {

class LoadingControls : public ::testing::Test {
protected:
    void Load(const std::string& fileText, bool flashAllowed) {
        WriteAll(path, fileText);
        CSettings settings(path);
        EXPECT_TRUE(LoadSettingsIntoControls(MakeControlBindings(), settings, controls,
                                             [&] { ++flashQueries; return flashAllowed; }));
    }
    TempFolder folder;
    std::string path = folder.File("config.ini");
    FakeControls controls;
    int flashQueries = 0;
};

struct Written {
    std::vector<std::pair<std::string, IniKeyValues>> files;
    std::vector<bool> flashApplied;
};

SaveReport Save(const FakeControls& controls, Written& out, FileOutcome outcome = FileOutcome::Done,
                bool flashSucceeds = true, bool writeFlash = true) {
    SaveRequest request = RequestFromControls(MakeControlBindings(), controls);
    request.writeFlash = writeFlash;
    return SaveSettingsTo(
        "folder\\config.ini", request,
        [&](const std::string& path, const IniKeyValues& values) {
            out.files.emplace_back(path, values);
            return outcome;
        },
        [&](bool allow) {
            out.flashApplied.push_back(allow);
            return flashSucceeds;
        });
}

FakeControls ControlsShowing(int enable, int maxZoom, int minZoom, int flash, int tap) {
    FakeControls c;
    c.SetRange(IDC_MAX_ZOOM, kZoomSliderLow, kZoomSliderHigh);
    c.SetRange(IDC_MIN_ZOOM, kZoomSliderLow, kZoomSliderHigh);
    c.SetCheck(IDC_ENABLE, enable);
    c.SetPos(IDC_MAX_ZOOM, maxZoom);
    c.SetPos(IDC_MIN_ZOOM, minZoom);
    c.SetCheck(IDC_ENABLE_FLASH, flash);
    c.SetCheck(IDC_TWO_FINGER_TAP, tap);
    FollowEnableCheckbox(c);
    return c;
}

}  // namespace

TEST_F(LoadingControls, ShowsTheFileValuesWithSlidersHeldInRange) {
    Load("[Pinchwell]\nEnable=TRUE\nMaxZoomRange=900\nMinZoomRange=50\nEnableFlash=TRUE\n"
         "TwoFingerTap2Zoom100=TRUE\n",
         true);
    EXPECT_EQ(controls.GetCheck(IDC_ENABLE), 1);
    EXPECT_EQ(controls.GetPos(IDC_MAX_ZOOM), 500);
    EXPECT_EQ(controls.GetPos(IDC_MIN_ZOOM), 100);
    EXPECT_EQ(controls.GetCheck(IDC_TWO_FINGER_TAP), 1);
    // The ranges come before any position, maximum slider first.
    ASSERT_GE(controls.log.size(), 3u);
    EXPECT_EQ(controls.log[0], "range 1027");
    EXPECT_EQ(controls.log[1], "range 1026");
}

TEST_F(LoadingControls, OnlyExactTrueChecksABox) {
    Load("[Pinchwell]\nEnable=true\nTwoFingerTap2Zoom100=1\nMaxZoomRange=250%\nMinZoomRange=abc\n", true);
    EXPECT_EQ(controls.GetCheck(IDC_ENABLE), 0);
    EXPECT_EQ(controls.GetCheck(IDC_TWO_FINGER_TAP), 0);
    EXPECT_EQ(controls.GetPos(IDC_MAX_ZOOM), 250);
    EXPECT_EQ(controls.GetPos(IDC_MIN_ZOOM), 100);
}

TEST_F(LoadingControls, RowsAreLoadedInTableOrderThenTheFlashSwitchWins) {
    Load("[Pinchwell]\nEnableFlash=TRUE\nEnable=FALSE\nMinZoomRange=120\nMaxZoomRange=240\n", false);
    std::vector<std::string> expected = {"range 1027", "range 1026", "check 1002=0", "pos 1027=240",
                                         "pos 1026=120", "check 1010=1",  "check 1024=0", "check 1010=0"};
    EXPECT_EQ(controls.log, expected);
    EXPECT_EQ(flashQueries, 1);
    EXPECT_EQ(controls.GetCheck(IDC_ENABLE_FLASH), 0);
}

TEST_F(LoadingControls, FlashAllowedInTheBrowserChecksTheBoxWhateverTheFileSays) {
    Load("[Pinchwell]\nEnableFlash=FALSE\n", true);
    EXPECT_EQ(controls.GetCheck(IDC_ENABLE_FLASH), 1);
}

TEST(EnableCheckbox, FlashCheckboxFollowsAndKeepsItsMark) {
    FakeControls c;
    c.SetCheck(IDC_ENABLE_FLASH, 1);
    c.SetCheck(IDC_ENABLE, 0);
    FollowEnableCheckbox(c);
    EXPECT_FALSE(c.IsEnabled(IDC_ENABLE_FLASH));
    c.SetCheck(IDC_ENABLE, 1);
    FollowEnableCheckbox(c);
    EXPECT_TRUE(c.IsEnabled(IDC_ENABLE_FLASH));
    EXPECT_EQ(c.GetCheck(IDC_ENABLE_FLASH), 1);
    // Nothing else depends on the Enable checkbox.
    c.SetCheck(IDC_ENABLE, 0);
    FollowEnableCheckbox(c);
    for (int id : {IDC_MIN_ZOOM, IDC_MAX_ZOOM, IDC_MIN_DEFAULT, IDC_MAX_DEFAULT, IDC_TWO_FINGER_TAP})
        EXPECT_TRUE(c.IsEnabled(id)) << id;
}

TEST(ValueText, CheckboxesAndSlidersInTheirFileForms) {
    FakeControls c;
    ControlBinding box{"Enable", IDC_ENABLE, "BUTTON"};
    ControlBinding slider{"MaxZoomRange", IDC_MAX_ZOOM, "SLIDER"};
    c.SetCheck(IDC_ENABLE, 1);
    EXPECT_EQ(ValueTextForControl(box, c), "TRUE");
    c.SetCheck(IDC_ENABLE, 2);  // indeterminate is not checked
    EXPECT_EQ(ValueTextForControl(box, c), "FALSE");
    c.SetCheck(IDC_ENABLE, 0);
    EXPECT_EQ(ValueTextForControl(box, c), "FALSE");
    c.SetPos(IDC_MAX_ZOOM, 345);
    EXPECT_EQ(ValueTextForControl(slider, c), "345");
    // Kinds match by whole, case-sensitive text.
    ControlBinding odd{"Enable", IDC_ENABLE, "Button"};
    EXPECT_EQ(ValueTextForControl(odd, c), "");
}

TEST(ZoomRangeCheck, MinimumMustBeBelowMaximum) {
    EXPECT_FALSE(IsZoomRangeValid(200, 200));
    EXPECT_TRUE(IsZoomRangeValid(200, 201));
    EXPECT_FALSE(IsZoomRangeValid(300, 200));
    EXPECT_TRUE(IsZoomRangeValid(100, 500));
}

TEST(FlashDecision, DisabledCheckboxAlwaysAllowsFlash) {
    EXPECT_TRUE(FlashAllowedOnSave(false, 0));
    EXPECT_TRUE(FlashAllowedOnSave(false, 1));
    EXPECT_TRUE(FlashAllowedOnSave(true, 1));
    EXPECT_FALSE(FlashAllowedOnSave(true, 0));
}

TEST(Saving, WritesTheFiveKeysInTableOrderThenTheFlashSwitch) {
    FakeControls c = ControlsShowing(1, 400, 150, 0, 1);
    Written out;
    SaveReport report = Save(c, out);
    IniKeyValues expected = {{"Enable", "TRUE"}, {"MaxZoomRange", "400"}, {"MinZoomRange", "150"},
                             {"EnableFlash", "FALSE"}, {"TwoFingerTap2Zoom100", "TRUE"}};
    ASSERT_EQ(out.files.size(), 1u);
    EXPECT_EQ(out.files[0].second, expected);
    EXPECT_EQ(out.flashApplied, std::vector<bool>{false});
    EXPECT_TRUE(report.Saved());
}

TEST(Saving, AddonOffAllowsFlashButWritesTheCheckboxToTheFile) {
    FakeControls c = ControlsShowing(0, 300, 100, 0, 0);
    Written out;
    Save(c, out);
    ASSERT_EQ(out.files.size(), 1u);
    EXPECT_EQ(out.files[0].second[3], std::make_pair(std::string("EnableFlash"), std::string("FALSE")));
    EXPECT_EQ(out.flashApplied, std::vector<bool>{true});
}

TEST(Saving, ASwitchLeftAsItIsIsNotWritten) {
    FakeControls c = ControlsShowing(1, 300, 100, 0, 0);
    Written out;
    EXPECT_TRUE(Save(c, out, FileOutcome::Done, false, false).Saved());
    EXPECT_EQ(out.files.size(), 1u);
    EXPECT_TRUE(out.flashApplied.empty());
}

// A file that was not written, or a Flash switch that was not set, is no save.
TEST(Saving, OnlyTheFileAndTheSwitchTogetherMakeASave) {
    FakeControls c = ControlsShowing(1, 300, 100, 1, 0);
    Written inUse, noSwitch;
    SaveReport report = Save(c, inUse, FileOutcome::InUse);
    EXPECT_FALSE(report.Saved());
    EXPECT_EQ(report.file.path, "folder\\config.ini");
    EXPECT_EQ(report.file.outcome, FileOutcome::InUse);
    EXPECT_EQ(inUse.flashApplied.size(), 1u);  // the switch is set all the same
    EXPECT_FALSE(Save(c, noSwitch, FileOutcome::Done, false).Saved());
}

namespace {
std::vector<std::pair<int, std::string>> Lines(const UserMessage& message) {
    std::vector<std::pair<int, std::string>> lines;
    for (const MessageLine& line : message.lines) lines.emplace_back(line.textId, line.argument);
    return lines;
}
SaveReport Report(FileOutcome outcome, bool flash = true, const std::string& keptIn = "", bool readBack = false,
                  bool administratorNeeded = false) {
    SaveReport report;
    report.file = {"f", outcome, keptIn};
    report.flashApplied = flash;
    report.readBack = readBack;
    report.administratorNeeded = administratorNeeded;
    return report;
}
using L = std::vector<std::pair<int, std::string>>;
}  // namespace

TEST(MessageAfterSave, TheRestartHintOnlyWhenEverythingWasWritten) {
    UserMessage ok = MessageAfterSave(Report(FileOutcome::Done));
    EXPECT_EQ(Lines(ok), (L{{IDS_RESTART_BROWSER, ""}}));
    EXPECT_EQ(ok.captionId, IDS_INFORMATION_CAPTION);
    EXPECT_EQ(ok.icon, MessageIcon::Information);

    const std::vector<std::pair<SaveReport, L>> failures = {
        {Report(FileOutcome::InUse), {{IDS_NOT_SAVED, ""}, {IDS_SAVE_IN_USE, "f"}}},
        {Report(FileOutcome::NoRights), {{IDS_NOT_SAVED, ""}, {IDS_SAVE_NO_RIGHTS, "f"}}},
        {Report(FileOutcome::Missing), {{IDS_NOT_SAVED, ""}, {IDS_SAVE_MISSING, "f"}}},
        {Report(FileOutcome::Failed, false), {{IDS_NOT_SAVED, ""}, {IDS_SAVE_FAILED, "f"}, {IDS_FLASH_SWITCH_FAILED, ""}}},
        {Report(FileOutcome::Done, false), {{IDS_FLASH_SWITCH_FAILED, ""}}},
        {Report(FileOutcome::ReadOnly), {{IDS_NOT_SAVED, ""}, {IDS_SAVE_READ_ONLY, "f"}}},
        {Report(FileOutcome::Stranded, true, "pwl1.tmp"), {{IDS_NOT_SAVED, ""}, {IDS_SAVE_STRANDED, "pwl1.tmp"}}},
        {Report(FileOutcome::Failed, false, "", true), {{IDS_SAVE_NOT_HELD, "f"}, {IDS_FLASH_SWITCH_FAILED, ""}}},
        {Report(FileOutcome::NoRights, true, "", false, true),
         {{IDS_NOT_SAVED, ""}, {IDS_SAVE_NO_RIGHTS, "f"}, {IDS_ADMINISTRATOR_NEEDED, ""}}},
    };
    for (const auto& [report, lines] : failures) {
        UserMessage message = MessageAfterSave(report);
        EXPECT_EQ(Lines(message), lines);
        EXPECT_EQ(message.captionId, IDS_ERROR_CAPTION);
        EXPECT_EQ(message.icon, MessageIcon::Error);
    }
    SaveReport refused = Report(FileOutcome::Failed);
    refused.elevationRefused = true;
    EXPECT_EQ(Lines(MessageAfterSave(refused)), (L{{IDS_ELEVATION_REFUSED, ""}}));
}

TEST(DefaultButtons, RestoreSliderAndLabelOfTheirOwnSideOnly) {
    FakeControls c = ControlsShowing(1, 450, 250, 1, 1);
    RestoreDefaultMinZoom(c);
    EXPECT_EQ(c.GetPos(IDC_MIN_ZOOM), 100);
    EXPECT_EQ(c.texts[IDC_MIN_VALUE], "100");
    EXPECT_EQ(c.GetPos(IDC_MAX_ZOOM), 450);
    EXPECT_EQ(c.texts.count(IDC_MAX_VALUE), 0u);
    RestoreDefaultMaxZoom(c);
    EXPECT_EQ(c.GetPos(IDC_MAX_ZOOM), 300);
    EXPECT_EQ(c.texts[IDC_MAX_VALUE], "300");
}

TEST(SliderLabels, EachSliderWritesItsOwnLabel) {
    FakeControls c = ControlsShowing(1, 420, 130, 1, 1);
    ShowSliderValue(c, IDC_MIN_ZOOM);
    ShowSliderValue(c, IDC_MAX_ZOOM);
    EXPECT_EQ(c.texts[IDC_MIN_VALUE], "130");
    EXPECT_EQ(c.texts[IDC_MAX_VALUE], "420");
    ShowSliderValue(c, IDC_ENABLE);
    EXPECT_EQ(c.texts.size(), 2u);
    EXPECT_EQ(ValueLabelForSlider(IDC_ENABLE), 0);
}

// The settings program end to end: started as its own process in the program folder
// of the Wine prefix, driven through its windows, judged by the file's bytes and the
// registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "FlashSwitch.h"
#include "ProgramUnderTest.h"
#include "RegistryFixtures.h"
#include "ResourceIds.h"

namespace {

const std::string kFileValues =
    "[Pinchwell]\r\nEnable=true\r\nMaxZoomRange=900\r\nMinZoomRange=50\r\nEnableFlash=TRUE\r\n"
    "TwoFingerTap2Zoom100=TRUE\r\n";

class SettingsProgram : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = ReadDword(root, subkey, kFlagsValue);
        SetFlashFlags(0);
    }
    void TearDown() override {
        if (saved_) SetFlashFlags(*saved_);
        else DeleteTree(root, subkey);
    }
    void SetFlashFlags(DWORD flags) { WriteDword(root, subkey, kFlagsValue, flags); }
    std::optional<DWORD> FlashFlags() const { return ReadDword(root, subkey, kFlagsValue); }

    // Starts the program and waits for its dialog, with its labels painted.
    HWND StartDialog(ProgramUnderTest& program) {
        HWND dialog = program.WaitForDialog();
        if (dialog) WaitUntil([&] { return !TextOf(::GetDlgItem(dialog, IDC_MAX_VALUE)).empty(); });
        return dialog;
    }

    void CloseWithOk(ProgramUnderTest& program, HWND dialog, const std::wstring& expectedText,
                     const std::wstring& expectedCaption) {
        PostClick(dialog, IDOK);
        AnswerMessageBox(program, dialog, expectedText, expectedCaption);
        EXPECT_TRUE(program.WaitForExit());
    }

    void CloseAfterRestartHint(ProgramUnderTest& program, HWND dialog) {
        AnswerMessageBox(program, dialog, ProgramString(IDS_RESTART_BROWSER), ProgramString(IDS_INFORMATION_CAPTION));
        EXPECT_TRUE(program.WaitForExit());
    }

    void AnswerMessageBox(ProgramUnderTest& program, HWND dialog, const std::wstring& expectedText,
                          const std::wstring& expectedCaption) {
        MessageBoxSeen box = program.WaitForMessageBox();
        EXPECT_EQ(box.owner, dialog);
        EXPECT_EQ(box.caption, expectedCaption);
        EXPECT_EQ(box.text, expectedText);
        ProgramUnderTest::Answer(box);
    }

    ProgramFolder folder;
    FlashSwitchLocation location = BrowserFlashSwitch();
    HKEY root = location.root;
    std::wstring parent = location.parentPath;
    std::wstring subkey = parent + L"\\" + location.subkeyName;

private:
    std::optional<DWORD> saved_;
};

// The program speaks the language of the user's locale, so its texts are taken from
// the resources it uses; their wording is checked where the resources are tested.
const std::wstring kRestart = ProgramString(IDS_RESTART_BROWSER);
const std::wstring kInformation = ProgramString(IDS_INFORMATION_CAPTION);
const std::wstring kError = ProgramString(IDS_ERROR_CAPTION);
const std::wstring kMissingFile = ProgramString(IDS_CONFIG_FILE_MISSING);

}  // namespace

TEST_F(SettingsProgram, ControlsShowTheFileAndTheBrowserFlashSwitchAndCancelWritesNothing) {
    folder.WriteConfig(kFileValues);
    SetFlashFlags(0x400);
    ProgramUnderTest program(folder);
    HWND dialog = StartDialog(program);
    ASSERT_NE(dialog, nullptr);

    EXPECT_EQ(CheckOf(dialog, IDC_ENABLE), BST_UNCHECKED);  // "true" is not "TRUE"
    EXPECT_EQ(PositionOf(dialog, IDC_MIN_ZOOM), 100);       // 50 held at the range's end
    EXPECT_EQ(PositionOf(dialog, IDC_MAX_ZOOM), 500);       // 900 likewise
    EXPECT_TRUE(WaitUntil([&] { return TextOf(::GetDlgItem(dialog, IDC_MIN_VALUE)) == L"100"; }));
    EXPECT_TRUE(WaitUntil([&] { return TextOf(::GetDlgItem(dialog, IDC_MAX_VALUE)) == L"500"; }));
    EXPECT_EQ(CheckOf(dialog, IDC_TWO_FINGER_TAP), BST_CHECKED);
    EXPECT_EQ(CheckOf(dialog, IDC_ENABLE_FLASH), BST_UNCHECKED);  // blocked in the browser
    EXPECT_FALSE(IsControlEnabled(dialog, IDC_ENABLE_FLASH));
    EXPECT_EQ(TextOf(dialog), ProgramString(IDS_CONFIG_TITLE));
    LONG_PTR style = ::GetWindowLongPtrW(dialog, GWL_STYLE);
    EXPECT_EQ(style & WS_THICKFRAME, 0);

    PostClick(dialog, IDCANCEL);
    EXPECT_TRUE(program.WaitForExit());
    EXPECT_EQ(folder.ReadConfig(), kFileValues);
    EXPECT_EQ(FlashFlags(), std::optional<DWORD>(0x400));
}

TEST_F(SettingsProgram, FlashCheckboxFollowsTheEnableCheckbox) {
    folder.WriteConfig(kFileValues);
    ProgramUnderTest program(folder);
    HWND dialog = StartDialog(program);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(CheckOf(dialog, IDC_ENABLE_FLASH), BST_CHECKED);
    EXPECT_FALSE(IsControlEnabled(dialog, IDC_ENABLE_FLASH));
    Click(dialog, IDC_ENABLE);
    EXPECT_EQ(CheckOf(dialog, IDC_ENABLE), BST_CHECKED);
    EXPECT_TRUE(IsControlEnabled(dialog, IDC_ENABLE_FLASH));
    Click(dialog, IDC_ENABLE);
    EXPECT_FALSE(IsControlEnabled(dialog, IDC_ENABLE_FLASH));
    EXPECT_EQ(CheckOf(dialog, IDC_ENABLE_FLASH), BST_CHECKED);
    PostClick(dialog, IDCANCEL);
    EXPECT_TRUE(program.WaitForExit());
}

TEST_F(SettingsProgram, DefaultButtonsRestoreTheirSliderAndLabelAndWriteNothing) {
    folder.WriteConfig(kFileValues);
    ProgramUnderTest program(folder);
    HWND dialog = StartDialog(program);
    ASSERT_NE(dialog, nullptr);
    SetPosition(dialog, IDC_MIN_ZOOM, 250);
    SetPosition(dialog, IDC_MAX_ZOOM, 450);
    EXPECT_TRUE(WaitUntil([&] { return TextOf(::GetDlgItem(dialog, IDC_MIN_VALUE)) == L"250"; }));
    Click(dialog, IDC_MIN_DEFAULT);
    EXPECT_EQ(PositionOf(dialog, IDC_MIN_ZOOM), 100);
    EXPECT_EQ(TextOf(::GetDlgItem(dialog, IDC_MIN_VALUE)), L"100");
    EXPECT_EQ(PositionOf(dialog, IDC_MAX_ZOOM), 450);
    Click(dialog, IDC_MAX_DEFAULT);
    EXPECT_EQ(PositionOf(dialog, IDC_MAX_ZOOM), 300);
    EXPECT_EQ(TextOf(::GetDlgItem(dialog, IDC_MAX_VALUE)), L"300");
    PostClick(dialog, IDCANCEL);
    EXPECT_TRUE(program.WaitForExit());
    EXPECT_EQ(folder.ReadConfig(), kFileValues);
}

TEST_F(SettingsProgram, EqualZoomLimitsAreRefusedAndNothingIsWritten) {
    folder.WriteConfig(kFileValues);
    SetFlashFlags(0x401);
    ProgramUnderTest program(folder);
    HWND dialog = StartDialog(program);
    ASSERT_NE(dialog, nullptr);
    SetPosition(dialog, IDC_MIN_ZOOM, 200);
    SetPosition(dialog, IDC_MAX_ZOOM, 200);
    PostClick(dialog, IDOK);
    MessageBoxSeen box = program.WaitForMessageBox();
    EXPECT_EQ(box.owner, dialog);
    EXPECT_EQ(box.caption, kInformation);
    EXPECT_EQ(box.text, ProgramString(IDS_ZOOM_RANGE_REFUSED));
    ProgramUnderTest::Answer(box);
    // The dialog stays open for correction; neither file nor switch changed.
    EXPECT_FALSE(program.WaitForExit(300));
    EXPECT_TRUE(::IsWindow(dialog));
    EXPECT_EQ(folder.ReadConfig(), kFileValues);
    EXPECT_EQ(FlashFlags(), std::optional<DWORD>(0x401));

    SetPosition(dialog, IDC_MAX_ZOOM, 201);
    CloseWithOk(program, dialog, kRestart, kInformation);
    EXPECT_NE(folder.ReadConfig().find(" MaxZoomRange=201\r\n MinZoomRange=200\r\n"), std::string::npos)
        << folder.ReadConfig();
}

TEST_F(SettingsProgram, OkWritesTheFiveKeysInOrderAndSetsTheFlashSwitch) {
    // Each key the section lacks goes directly after the header, so the order is
    // reversed; every line the store writes begins with a space.
    folder.WriteConfig("[Pinchwell]\r\n");
    ProgramUnderTest program(folder);
    HWND dialog = StartDialog(program);
    ASSERT_NE(dialog, nullptr);
    Click(dialog, IDC_ENABLE);
    Click(dialog, IDC_ENABLE_FLASH);  // Flash was allowed: now unchecked
    Click(dialog, IDC_TWO_FINGER_TAP);
    SetPosition(dialog, IDC_MIN_ZOOM, 150);
    SetPosition(dialog, IDC_MAX_ZOOM, 420);
    CloseWithOk(program, dialog, kRestart, kInformation);
    EXPECT_EQ(folder.ReadConfig(),
              " [Pinchwell]\r\n TwoFingerTap2Zoom100=TRUE\r\n EnableFlash=FALSE\r\n MinZoomRange=150\r\n"
              " MaxZoomRange=420\r\n Enable=TRUE\r\n");
    EXPECT_EQ(FlashFlags(), std::optional<DWORD>(0x400));
}

TEST_F(SettingsProgram, OkKeepsTheInstalledLinesInPlace) {
    folder.WriteConfig(kFileValues);
    SetFlashFlags(0x400);
    ProgramUnderTest program(folder);
    HWND dialog = StartDialog(program);
    ASSERT_NE(dialog, nullptr);
    // Add-on off: the browser allows Flash whatever the disabled checkbox shows.
    CloseWithOk(program, dialog, kRestart, kInformation);
    EXPECT_EQ(folder.ReadConfig(),
              " [Pinchwell]\r\n Enable=FALSE\r\n MaxZoomRange=500\r\n MinZoomRange=100\r\n EnableFlash=FALSE\r\n"
              " TwoFingerTap2Zoom100=TRUE\r\n");
    EXPECT_EQ(FlashFlags(), std::optional<DWORD>(0));
}

TEST_F(SettingsProgram, AnUnwritableFileIsReportedInsteadOfTheRestartHint) {
    folder.WriteConfig(kFileValues);
    folder.SetConfigReadOnly(true);
    ProgramUnderTest program(folder);
    HWND dialog = StartDialog(program);
    ASSERT_NE(dialog, nullptr);
    CloseWithOk(program, dialog, kMissingFile, kError);
    EXPECT_EQ(folder.ReadConfig(), kFileValues);
}

TEST_F(SettingsProgram, AFlashSwitchThatCannotBeSetIsReportedAfterTheSave) {
    folder.WriteConfig("[Pinchwell]\r\nEnable=TRUE\r\nMaxZoomRange=300\r\nMinZoomRange=100\r\n");
    ProgramUnderTest program(folder);
    HWND dialog = StartDialog(program);
    ASSERT_NE(dialog, nullptr);
    {
        KeyAccessList readOnly(root, parent, L"D:P(A;OICI;KR;;;WD)");
        ASSERT_TRUE(readOnly.applied());
        PostClick(dialog, IDOK);
        AnswerMessageBox(program, dialog, ProgramString(IDS_FLASH_SWITCH_FAILED), kError);
    }
    // The file was saved, so the user is still told to restart the browser.
    CloseAfterRestartHint(program, dialog);
    EXPECT_NE(folder.ReadConfig().find("EnableFlash=TRUE"), std::string::npos) << folder.ReadConfig();
    EXPECT_EQ(FlashFlags(), std::optional<DWORD>(0));
}

TEST_F(SettingsProgram, MissingFileGivesTheErrorWithoutOwnerAndNoDialog) {
    // A running first instance must not be brought forward.
    folder.WriteConfig(kFileValues);
    ProgramUnderTest running(folder);
    HWND first = StartDialog(running);
    ASSERT_NE(first, nullptr);
    ForegroundWindow elsewhere;
    ASSERT_EQ(::GetForegroundWindow(), elsewhere.get());
    folder.RemoveConfig();

    ProgramUnderTest program(folder);
    MessageBoxSeen box = program.WaitForMessageBox();
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.caption, kError);
    EXPECT_EQ(box.text, kMissingFile);
    EXPECT_EQ(program.FindDialog(), nullptr);
    EXPECT_NE(::GetForegroundWindow(), first);
    ProgramUnderTest::Answer(box);
    EXPECT_TRUE(program.WaitForExit());
    EXPECT_EQ(folder.ReadConfig(), "<missing>");
}

TEST_F(SettingsProgram, ASecondStartBringsTheFirstInstanceForwardAndEnds) {
    folder.WriteConfig(kFileValues);
    ProgramUnderTest first(folder);
    HWND dialog = StartDialog(first);
    ASSERT_NE(dialog, nullptr);
    // Wine's modal loop shows a hidden or minimised dialog again at once, so what the
    // second start can be seen to do is take the foreground from another window.
    ForegroundWindow elsewhere;
    ASSERT_EQ(::GetForegroundWindow(), elsewhere.get());

    ProgramUnderTest second(folder);
    EXPECT_TRUE(second.WaitForExit());
    EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == dialog; }));
    EXPECT_TRUE(::IsWindowVisible(dialog));
    EXPECT_FALSE(::IsIconic(dialog));
    EXPECT_EQ(second.FindDialog(), nullptr);
    PostClick(dialog, IDCANCEL);
    EXPECT_TRUE(first.WaitForExit());
}

TEST_F(SettingsProgram, TheInstalledFileHoldsTheDefaultsTheDialogShows) {
    std::string installed = ReadWholeFile(BesideDriver(L"config.ini"));
    ASSERT_NE(installed, "<missing>");
    folder.WriteConfig(installed);
    ProgramUnderTest program(folder);
    HWND dialog = StartDialog(program);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(CheckOf(dialog, IDC_ENABLE), BST_CHECKED);
    EXPECT_EQ(CheckOf(dialog, IDC_ENABLE_FLASH), BST_CHECKED);
    EXPECT_EQ(CheckOf(dialog, IDC_TWO_FINGER_TAP), BST_CHECKED);
    int minZoom = PositionOf(dialog, IDC_MIN_ZOOM);
    int maxZoom = PositionOf(dialog, IDC_MAX_ZOOM);
    Click(dialog, IDC_MIN_DEFAULT);
    Click(dialog, IDC_MAX_DEFAULT);
    EXPECT_EQ(PositionOf(dialog, IDC_MIN_ZOOM), minZoom);
    EXPECT_EQ(PositionOf(dialog, IDC_MAX_ZOOM), maxZoom);
    // Saving the defaults unchanged keeps every line and value; the store writes
    // each line with its leading space.
    CloseWithOk(program, dialog, kRestart, kInformation);
    EXPECT_EQ(folder.ReadConfig(),
              " [Pinchwell]\r\n Enable=TRUE\r\n MaxZoomRange=300\r\n MinZoomRange=100\r\n EnableFlash=TRUE\r\n"
              " TwoFingerTap2Zoom100=TRUE\r\n");
}

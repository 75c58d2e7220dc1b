// The settings program end to end: started as its own process in the program folder
// of the Wine prefix, driven through its windows, judged by the file's bytes and the
// registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ElevatedSave.h"
#include "FlashSwitch.h"
#include "ProgramFolder.h"
#include "ProgramUnderTest.h"
#include "RegistryFixtures.h"
#include "ResourceIds.h"
#include "TesselIds.h"

namespace {

const std::string kFileValues =
    "[Pinchwell]\r\nEnable=true\r\nMaxZoomRange=900\r\nMinZoomRange=50\r\nEnableFlash=TRUE\r\n"
    "TwoFingerTap2Zoom100=TRUE\r\n";

// The switch is read and set in both registry views (one for each browser); the tests
// set both and look at the program's own.
class SettingsProgram : public ::testing::Test {
protected:
    void SetUp() override {
        for (REGSAM view : kViews) saved_.push_back(ReadDword(root, subkey, kFlagsValue, view));
        SetFlashFlags(0);
    }
    void TearDown() override {
        for (size_t i = 0; i < saved_.size(); ++i) {
            if (saved_[i]) WriteDword(root, subkey, kFlagsValue, *saved_[i], kViews[i]);
            else DeleteTree(root, subkey, kViews[i]);
        }
    }
    void SetFlashFlags(DWORD flags) {
        for (REGSAM view : kViews) WriteDword(root, subkey, kFlagsValue, flags, view);
    }
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

    // The text the program shows for these lines of its resources.
    static std::wstring Lines(const std::vector<std::pair<UINT, std::wstring>>& lines) {
        std::wstring text;
        for (const auto& [id, argument] : lines) {
            std::wstring line = ProgramString(id);
            size_t at = line.find(L"%s");
            if (at != std::wstring::npos) line.replace(at, 2, argument);
            text += (text.empty() ? L"" : L"\n") + line;
        }
        return text;
    }

    static constexpr REGSAM kViews[] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};
    ProgramFolder folder;
    FlashSwitchLocation location = BrowserFlashSwitch();
    HKEY root = location.root;
    std::wstring parent = location.parentPath;
    std::wstring subkey = parent + L"\\" + location.subkeyName;

private:
    std::vector<std::optional<DWORD>> saved_;
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
    EXPECT_FALSE(::IsWindowVisible(::GetDlgItem(dialog, IDC_ADDON_OFF)));  // the browser has it on
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

// A read-only file refuses administrators too: no copy is started to save it, the
// dialog says why and stays open.
TEST_F(SettingsProgram, AReadOnlyFileIsReportedAsSuchAndTheDialogKeepsTheEdits) {
    folder.WriteConfig(kFileValues);
    folder.SetConfigReadOnly(true);
    ProgramUnderTest program(folder);
    HWND dialog = StartDialog(program);
    ASSERT_NE(dialog, nullptr);
    SetPosition(dialog, IDC_MAX_ZOOM, 420);
    PostClick(dialog, IDOK);
    std::wstring path = folder.ConfigFile();
    MessageBoxSeen box = program.WaitForMessageBox();
    EXPECT_EQ(RunningSettingsPrograms(), 1) << "a copy was started to save";
    EXPECT_EQ(box.text, Lines({{IDS_NOT_SAVED, L""}, {IDS_SAVE_READ_ONLY, path}}));
    EXPECT_EQ(box.caption, kError);
    ProgramUnderTest::Answer(box);
    EXPECT_FALSE(program.WaitForExit(300));
    EXPECT_EQ(PositionOf(dialog, IDC_MAX_ZOOM), 420);
    EXPECT_EQ(folder.ReadConfig(), kFileValues);
    PostClick(dialog, IDCANCEL);
    EXPECT_TRUE(program.WaitForExit());
}

// A scanner holds the file without delete sharing for longer than the save waits: the
// file stays whole, the user is told it is in use, and OK works once it is let go.
TEST_F(SettingsProgram, AFileHeldByAnotherProgramIsReportedInUseAndSavedOnceReleased) {
    folder.WriteConfig(kFileValues);
    ProgramUnderTest program(folder);
    HWND dialog = StartDialog(program);
    ASSERT_NE(dialog, nullptr);
    {
        pinchwell::UniqueFile held(::CreateFileW(folder.ConfigFile().c_str(), GENERIC_READ,
                                                 FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        PostClick(dialog, IDOK);
        AnswerMessageBox(program, dialog, Lines({{IDS_NOT_SAVED, L""}, {IDS_SAVE_IN_USE, folder.ConfigFile()}}),
                         kError);
    }
    EXPECT_EQ(folder.ReadConfig(), kFileValues);
    EXPECT_TRUE(::IsWindow(dialog));
    PostClick(dialog, IDOK);
    CloseAfterRestartHint(program, dialog);
    EXPECT_NE(folder.ReadConfig().find(" Enable=FALSE\r\n"), std::string::npos) << folder.ReadConfig();
}

TEST_F(SettingsProgram, AFlashSwitchThatCannotBeSetIsReportedAndOkCanBeTriedAgain) {
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
    EXPECT_FALSE(program.WaitForExit(300));
    EXPECT_NE(folder.ReadConfig().find("EnableFlash=TRUE"), std::string::npos) << folder.ReadConfig();
    PostClick(dialog, IDOK);
    CloseAfterRestartHint(program, dialog);
    EXPECT_EQ(FlashFlags(), std::optional<DWORD>(0));
}

// A standard user may read the browser's key but not write it: the box shows Flash
// blocked, and a save of the zoom alone asks no browser to allow it.
TEST_F(SettingsProgram, AKeyThatCanOnlyBeReadShowsFlashBlockedAndASaveKeepsIt) {
    folder.WriteConfig("[Pinchwell]\r\nEnable=TRUE\r\nMaxZoomRange=300\r\nMinZoomRange=100\r\n");
    SetFlashFlags(0x400);
    KeyAccessList readOnly(root, parent, L"D:P(A;OICI;KR;;;WD)");
    ASSERT_TRUE(readOnly.applied());
    ProgramUnderTest program(folder);
    HWND dialog = StartDialog(program);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(CheckOf(dialog, IDC_ENABLE_FLASH), BST_UNCHECKED);
    SetPosition(dialog, IDC_MAX_ZOOM, 420);
    PostClick(dialog, IDOK);
    AnswerMessageBox(program, dialog, ProgramString(IDS_FLASH_SWITCH_FAILED), kError);
    EXPECT_NE(folder.ReadConfig().find(" MaxZoomRange=420\r\n"), std::string::npos) << folder.ReadConfig();
    for (REGSAM view : kViews) EXPECT_EQ(ReadDword(root, subkey, kFlagsValue, view), std::optional<DWORD>(0x400));
    PostClick(dialog, IDCANCEL);
    EXPECT_TRUE(program.WaitForExit());
}

// Where Internet Explorer records the add-on turned off, each written as the browser
// (Manage Add-ons) or Group Policy writes it, in the registry view of each browser where
// the two could differ: the line under the Enable checkbox says why.
namespace {

struct BrowserRecord {
    const char* name;
    HKEY root;
    const wchar_t* path;   // "{class}" stands for the add-on's class id
    const wchar_t* value;  // likewise
    const wchar_t* text;   // REG_SZ when given, else the DWORD 1
    REGSAM view;
    UINT line;
};

// The case's name in test names and messages.
void PrintTo(const BrowserRecord& record, std::ostream* out) { *out << record.name; }

std::wstring WithClassId(std::wstring text) {
    size_t at = text.find(L"{class}");
    return at == std::wstring::npos ? text : text.replace(at, 7, tesselid::kClassId);
}

constexpr const wchar_t* kUserSettings = L"Software\\Microsoft\\Windows\\CurrentVersion\\Ext\\Settings\\{class}";
constexpr const wchar_t* kPolicies = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Ext";
constexpr const wchar_t* kAddonList = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Ext\\CLSID";
const HKEY kUser = HKEY_CURRENT_USER;
const HKEY kMachine = HKEY_LOCAL_MACHINE;

const BrowserRecord kBrowserRecords[] = {
    {"TurnedOffInManageAddons", kUser, kUserSettings, L"Flags", nullptr, 0, IDS_ADDON_OFF_BY_USER},
    {"DeniedByTheUsersAddonList", kUser, kAddonList, L"{class}", L"0", 0, IDS_ADDON_OFF_BY_POLICY},
    {"DeniedByTheMachinesAddonList64", kMachine, kAddonList, L"{class}", L"0", KEY_WOW64_64KEY,
     IDS_ADDON_OFF_BY_POLICY},
    {"DeniedByTheMachinesAddonList32", kMachine, kAddonList, L"{class}", L"0", KEY_WOW64_32KEY,
     IDS_ADDON_OFF_BY_POLICY},
    {"OnlyListedAddonsForTheUser", kUser, kPolicies, L"RestrictToList", nullptr, 0, IDS_ADDON_NOT_ON_POLICY_LIST},
    {"OnlyListedAddonsForTheMachine64", kMachine, kPolicies, L"RestrictToList", nullptr, KEY_WOW64_64KEY,
     IDS_ADDON_NOT_ON_POLICY_LIST},
    {"OnlyListedAddonsForTheMachine32", kMachine, kPolicies, L"RestrictToList", nullptr, KEY_WOW64_32KEY,
     IDS_ADDON_NOT_ON_POLICY_LIST},
};

}  // namespace

class BrowserKeepsAddonOff : public SettingsProgram, public ::testing::WithParamInterface<BrowserRecord> {};

// The browser's "Ext" key of the record, which the prefix does not have: the test writes
// the record below it and removes it whole afterwards.
TEST_P(BrowserKeepsAddonOff, TheLineUnderEnableSaysWhy) {
    const BrowserRecord& record = GetParam();
    std::wstring path = WithClassId(record.path);
    std::wstring ext = path.substr(0, path.find(L"\\Ext") + 4);
    ASSERT_FALSE(KeyExists(record.root, ext, record.view));
    if (record.text) WriteText(record.root, path, WithClassId(record.value).c_str(), record.text, record.view);
    else WriteDword(record.root, path, record.value, 1, record.view);
    folder.WriteConfig(kFileValues);
    ProgramUnderTest program(folder);
    HWND dialog = StartDialog(program);
    HWND line = ::GetDlgItem(dialog, IDC_ADDON_OFF);
    EXPECT_TRUE(dialog && ::IsWindowVisible(line));
    EXPECT_EQ(TextOf(line), ProgramString(record.line));
    PostClick(dialog, IDCANCEL);
    EXPECT_TRUE(program.WaitForExit());
    DeleteTree(record.root, ext, record.view);
}

INSTANTIATE_TEST_SUITE_P(Places, BrowserKeepsAddonOff, ::testing::ValuesIn(kBrowserRecords),
                         [](const ::testing::TestParamInfo<BrowserRecord>& info) { return info.param.name; });

// Both browsers of 64-bit Windows read the program folder's file: one in the 32-bit
// Program Files folder, even one written later, is neither shown nor saved to.
TEST_F(SettingsProgram, OnlyTheProgramFoldersFileIsShownAndSaved) {
    char programFilesX86[MAX_PATH] = {};
    DWORD length = ::GetEnvironmentVariableA("ProgramFiles(x86)", programFilesX86, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) GTEST_SKIP() << "32-bit Windows has one Program Files folder";
    ProgramFolder x86(programFilesX86);
    folder.WriteConfig("[Pinchwell]\r\nEnable=TRUE\r\nMaxZoomRange=300\r\nMinZoomRange=100\r\n");
    folder.StampConfigAsShipped();
    const std::string elsewhere = "; mine\r\n[Pinchwell]\r\nEnable=TRUE\r\nMaxZoomRange=450\r\nMinZoomRange=200\r\n";
    x86.WriteConfig(elsewhere);
    ProgramUnderTest program(folder);
    HWND dialog = StartDialog(program);
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(PositionOf(dialog, IDC_MAX_ZOOM), 300);
    EXPECT_EQ(PositionOf(dialog, IDC_MIN_ZOOM), 100);
    SetPosition(dialog, IDC_MAX_ZOOM, 350);
    CloseWithOk(program, dialog, kRestart, kInformation);
    EXPECT_NE(folder.ReadConfig().find(" MaxZoomRange=350\r\n"), std::string::npos) << folder.ReadConfig();
    EXPECT_EQ(x86.ReadConfig(), elsewhere);
}

// The copy that saves with an administrator's rights: no window, the file and the
// switch, its report in the exit code; a request the dialog could not have made is
// refused whole.
TEST_F(SettingsProgram, TheElevatedCopySavesWhatItIsAskedAndNothingElse) {
    folder.WriteConfig(kFileValues);
    const std::wstring request =
        L"/save Enable=TRUE MaxZoomRange=350 MinZoomRange=150 EnableFlash=TRUE TwoFingerTap2Zoom100=FALSE";
    {
        ProgramUnderTest refused(folder.Path(), request + L" Flash=maybe");
        ASSERT_TRUE(refused.WaitForExit());
        EXPECT_EQ(refused.ExitCode(), kRequestRefusedExitCode);
        EXPECT_EQ(folder.ReadConfig(), kFileValues);
    }
    ProgramUnderTest copy(folder.Path(), request + L" Flash=block");
    ASSERT_TRUE(copy.WaitForExit());
    EXPECT_EQ(copy.FindDialog(), nullptr);
    SaveReport report = ReportFromExitCode(copy.ExitCode(), GetConfigPath());
    EXPECT_EQ(report.file.outcome, FileOutcome::Done);
    EXPECT_TRUE(report.flashApplied);
    EXPECT_EQ(folder.ReadConfig(),
              " [Pinchwell]\r\n Enable=TRUE\r\n MaxZoomRange=350\r\n MinZoomRange=150\r\n EnableFlash=TRUE\r\n"
              " TwoFingerTap2Zoom100=FALSE\r\n");
    EXPECT_EQ(FlashFlags(), std::optional<DWORD>(0x400));
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

// Drives the settings program that the package installed, as a user would:
//   InstalledSettingsProgram show      its dialog shows what the installed config.ini holds
//   InstalledSettingsProgram change N  sets the maximum zoom to N and saves with OK
// Prints one line per finding and exits non-zero on any failure.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ProgramFolder.h"
#include "ProgramUnderTest.h"
#include "ResourceIds.h"
#include "Settings.h"
#include "pinchwell/AnsiText.h"

namespace {

int failures = 0;

void Expect(bool ok, const char* what, int shown, int inFile) {
    std::printf("%s %s: dialog %d, config.ini %d\n", ok ? "ok" : "FAIL", what, shown, inFile);
    if (!ok) ++failures;
}

int CheckFor(bool value) { return value ? BST_CHECKED : BST_UNCHECKED; }

void ExpectDialogShowsFile(HWND dialog) {
    CSettings file;
    Expect(CheckOf(dialog, IDC_ENABLE) == CheckFor(file.GetBool(SettingKey::Enable)), "Enable",
           CheckOf(dialog, IDC_ENABLE), file.GetBool(SettingKey::Enable));
    Expect(PositionOf(dialog, IDC_MIN_ZOOM) == file.GetInt(SettingKey::MinZoomRange), "MinZoomRange",
           PositionOf(dialog, IDC_MIN_ZOOM), file.GetInt(SettingKey::MinZoomRange));
    Expect(PositionOf(dialog, IDC_MAX_ZOOM) == file.GetInt(SettingKey::MaxZoomRange), "MaxZoomRange",
           PositionOf(dialog, IDC_MAX_ZOOM), file.GetInt(SettingKey::MaxZoomRange));
    Expect(CheckOf(dialog, IDC_TWO_FINGER_TAP) == CheckFor(file.GetBool(SettingKey::TwoFingerTap2Zoom100)),
           "TwoFingerTap2Zoom100", CheckOf(dialog, IDC_TWO_FINGER_TAP),
           file.GetBool(SettingKey::TwoFingerTap2Zoom100));
}

}  // namespace

int main(int argc, char** argv) {
    bool change = argc == 3 && std::strcmp(argv[1], "change") == 0;
    if (!change && !(argc == 2 && std::strcmp(argv[1], "show") == 0)) {
        std::printf("usage: InstalledSettingsProgram show | change MAXZOOM\n");
        return 2;
    }
    std::wstring folder = pinchwell::AnsiToWide(GetProgramFilesFolder()) + L"\\Kestrune\\Pinchwell";
    ProgramUnderTest program(folder);
    HWND dialog = program.WaitForDialog();
    if (!dialog) {
        std::printf("FAIL the installed settings program showed no dialog\n");
        return 1;
    }
    WaitUntil([&] { return !TextOf(::GetDlgItem(dialog, IDC_MAX_VALUE)).empty(); });
    ExpectDialogShowsFile(dialog);

    if (!change) {
        PostClick(dialog, IDCANCEL);
    } else {
        int maxZoom = std::atoi(argv[2]);
        SetPosition(dialog, IDC_MAX_ZOOM, maxZoom);
        PostClick(dialog, IDOK);
        ProgramUnderTest::Answer(program.WaitForMessageBox());  // the restart hint
        if (program.WaitForExit()) {
            CSettings saved;
            Expect(saved.GetInt(SettingKey::MaxZoomRange) == maxZoom, "saved MaxZoomRange", maxZoom,
                   saved.GetInt(SettingKey::MaxZoomRange));
        }
    }
    if (!program.WaitForExit()) {
        std::printf("FAIL the settings program did not end\n");
        ++failures;
    }
    return failures == 0 ? 0 : 1;
}

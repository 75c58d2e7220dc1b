#include "PinchwellConfigApp.h"

#include <commctrl.h>

#include "LanguageLibrary.h"
#include "ElevatedSave.h"
#include "PinchwellConfigDlg.h"
#include "ProgramFolder.h"
#include "ResourceIds.h"
#include "ResourceModule.h"
#include "SettingsFileAccess.h"
#include "Startup.h"
#include "pinchwell/AnsiText.h"

CPinchwellConfigApp theApp;

namespace {

BOOL CALLBACK FindInstanceWindow(HWND window, LPARAM found) {
    HANDLE value = ::GetPropW(window, pinchwell::AnsiToWide(kInstanceProperty).c_str());
    if (!IsInstanceMarker(reinterpret_cast<std::uintptr_t>(value))) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

HWND FindRunningInstance() {
    HWND found = nullptr;
    ::EnumWindows(&FindInstanceWindow, reinterpret_cast<LPARAM>(&found));
    return found;
}

}  // namespace

BOOL CPinchwellConfigApp::InitInstance() {
    // The program may run with an administrator's rights: a library planted in the
    // folder it was started from must not be loaded.
    ::SetDllDirectoryW(L"");
    // A copy started with an administrator's rights to save for the dialog: no window,
    // no language, no instance check (the dialog that started it is running).
    std::vector<std::string> arguments = CommandLineArguments();
    if (!arguments.empty() && arguments.front() == kSaveSwitch) {
        SetExitCode(static_cast<int>(SaveAsRequested(arguments)));
        return FALSE;
    }

    languageLibrary_ = LoadLanguageLibrary();

    bool fileExists = SettingsFileExists(GetConfigPath());
    // The window search is only made when the file exists: a missing file ends start-up first.
    HWND running = fileExists ? FindRunningInstance() : nullptr;
    switch (DecideStartup(fileExists, running != nullptr)) {
        case StartupAction::ReportMissingSettingsFile:
            ::MessageBoxW(nullptr, LoadResourceString(IDS_CONFIG_FILE_MISSING).c_str(),
                          LoadResourceString(IDS_ERROR_CAPTION).c_str(), MB_ICONERROR);
            return FALSE;
        case StartupAction::ActivateRunningInstance:
            ::ShowWindow(running, SW_SHOWNORMAL);
            ::SetForegroundWindow(running);
            return FALSE;
        case StartupAction::RunDialog:
            break;
    }

    INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&classes);

    CPinchwellConfigDlg dialog;
    dialog.DoModal();
    return FALSE;
}

#include "SettingsFileAccess.h"

#include <shellapi.h>

#include <memory>

#include "ElevatedSave.h"
#include "FlashSwitch.h"
#include "ProgramFolder.h"
#include "Settings.h"
#include "pinchwell/AnsiText.h"
#include "pinchwell/UniqueHandle.h"

using pinchwell::AnsiToWide;

namespace {

// The owner stays disabled while another process works for it, whatever ends the wait.
class DisabledWhile {
public:
    explicit DisabledWhile(HWND window) : window_(window) { ::EnableWindow(window_, FALSE); }
    ~DisabledWhile() { ::EnableWindow(window_, TRUE); }
    DisabledWhile(const DisabledWhile&) = delete;
    DisabledWhile& operator=(const DisabledWhile&) = delete;

private:
    HWND window_;
};

// Waits for the process while the owner's windows go on painting: the system's consent
// prompt may stay up for as long as the user reads it.
void WaitPumping(HANDLE process) {
    while (::MsgWaitForMultipleObjects(1, &process, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                ::PostQuitMessage(static_cast<int>(message.wParam));
                ::WaitForSingleObject(process, INFINITE);
                return;
            }
            ::TranslateMessage(&message);
            ::DispatchMessageW(&message);
        }
    }
}

// The argument array that CommandLineToArgvW hands out is the caller's to LocalFree.
struct LocalFreeDeleter {
    void operator()(LPWSTR* block) const { ::LocalFree(block); }
};

SaveReport AllFailed(const std::string& path) { return ReportFromExitCode(0, path); }

}  // namespace

bool SettingsFileExists(const std::string& path) {
    DWORD attributes = ::GetFileAttributesW(AnsiToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

SaveReport SaveSettingsHere(const SaveRequest& request, const std::string& path) {
    return SaveSettingsTo(path, request, &CSettings::SetStrings, [](bool allow) { return ApplyFlashEnabled(allow); });
}

SaveReport SaveSettingsElevated(HWND owner, const SaveRequest& request, const std::string& path) {
    wchar_t program[MAX_PATH] = {};
    if (::GetModuleFileNameW(nullptr, program, MAX_PATH) == 0) return AllFailed(path);
    // No argument holds a space or a quote, so plain spaces separate them.
    std::wstring parameters;
    for (const std::string& argument : SaveRequestArguments(request)) {
        if (!parameters.empty()) parameters += L' ';
        parameters += AnsiToWide(argument);
    }
    SHELLEXECUTEINFOW run{};
    run.cbSize = sizeof run;
    run.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    run.hwnd = owner;
    run.lpVerb = L"runas";
    run.lpFile = program;
    run.lpParameters = parameters.c_str();
    run.nShow = SW_HIDE;
    if (!::ShellExecuteExW(&run)) {
        SaveReport report = AllFailed(path);
        report.elevationRefused = ::GetLastError() == ERROR_CANCELLED;
        return report;
    }
    pinchwell::UniqueHandle process(run.hProcess);
    if (!process) return AllFailed(path);
    {
        DisabledWhile disabled(owner);
        WaitPumping(process.get());
    }
    DWORD code = 0;
    if (!::GetExitCodeProcess(process.get(), &code)) return AllFailed(path);
    return ReportFromExitCode(code, path);
}

DWORD SaveAsRequested(const std::vector<std::string>& arguments) {
    std::optional<SaveRequest> request = ParseSaveRequest(arguments);
    if (!request) return kRequestRefusedExitCode;
    return ExitCodeOf(SaveSettingsHere(*request, GetConfigPath()));
}

std::vector<std::string> CommandLineArguments() {
    int count = 0;
    std::unique_ptr<LPWSTR, LocalFreeDeleter> wide(::CommandLineToArgvW(::GetCommandLineW(), &count));
    std::vector<std::string> arguments;
    if (!wide) return arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(pinchwell::WideToAnsi(wide.get()[i]));
    return arguments;
}

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

// The temporary file of a replacement that lost the old file: the newest one beside it.
// The rights probe makes none, so one found there holds a save's bytes.
std::string KeptCopyBeside(const std::string& path) {
    std::wstring target = AnsiToWide(path);
    std::wstring folder = target.substr(0, target.find_last_of(L"\\/") + 1);
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW((folder + L"pwl*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return path;
    std::wstring newest;
    FILETIME newestTime{};
    do {
        if (newest.empty() || ::CompareFileTime(&found.ftLastWriteTime, &newestTime) > 0) {
            newest = found.cFileName;
            newestTime = found.ftLastWriteTime;
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return pinchwell::WideToAnsi(folder + newest);
}

SaveReport WithKeptCopy(SaveReport report) {
    if (report.file.outcome == FileOutcome::Stranded) report.file.keptIn = KeptCopyBeside(report.file.path);
    return report;
}

bool SwitchHolds(const SaveRequest& request) {
    if (!request.writeFlash) return true;
    return QueryFlashState() == (request.allowFlash ? FlashState::Allowed : FlashState::Blocked);
}

// Whether the well-known Administrators group is enabled in the user's token.
bool IsAdministrator() {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!::AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                    &administrators))
        return false;
    BOOL member = FALSE;
    if (!::CheckTokenMembership(nullptr, administrators, &member)) member = FALSE;
    ::FreeSid(administrators);
    return member != FALSE;
}

// "EnableLUA" of the system's policies; Windows installs it on, and absent it counts so.
bool UserAccountControlOn() {
    DWORD value = 1;
    DWORD size = sizeof value;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System",
                       L"EnableLUA", RRF_RT_REG_DWORD, nullptr, &value, &size) != ERROR_SUCCESS)
        return true;
    return value != 0;
}

}  // namespace

bool SettingsFileExists(const std::string& path) {
    DWORD attributes = ::GetFileAttributesW(AnsiToWide(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TokenFacts GatherTokenFacts() {
    TokenFacts facts;
    facts.administrator = IsAdministrator();
    facts.userAccountControl = UserAccountControlOn();
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &raw)) return facts;
    pinchwell::UniqueHandle token(raw);
    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    DWORD size = 0;
    if (::GetTokenInformation(token.get(), TokenElevationType, &type, sizeof type, &size)) {
        if (type == TokenElevationTypeFull) facts.elevation = TokenElevationKind::Full;
        if (type == TokenElevationTypeLimited) facts.elevation = TokenElevationKind::Limited;
    }
    return facts;
}

SaveReport SaveSettingsHere(const SaveRequest& request, const std::string& path) {
    return WithKeptCopy(
        SaveSettingsTo(path, request, &CSettings::SetStrings, [](bool allow) { return ApplyFlashEnabled(allow); }));
}

SaveReport SaveSettingsElevated(HWND owner, const SaveRequest& request, const std::string& path) {
    wchar_t program[MAX_PATH] = {};
    if (::GetModuleFileNameW(nullptr, program, MAX_PATH) == 0) return AllFailed(path);
    return SaveSettingsElevatedBy(program, owner, request, path);
}

SaveReport SaveSettingsElevatedBy(const std::wstring& program, HWND owner, const SaveRequest& request,
                                  const std::string& path) {
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
    run.lpFile = program.c_str();
    run.lpParameters = parameters.c_str();
    run.nShow = SW_HIDE;
    DWORD code = 0;
    bool ended = false;
    {
        DisabledWhile disabled(owner);
        if (!::ShellExecuteExW(&run)) {
            DWORD error = ::GetLastError();
            SaveReport report = AllFailed(path);
            report.elevationRefused = error == ERROR_CANCELLED;
            return report;
        }
        pinchwell::UniqueHandle process(run.hProcess);
        if (!process) return AllFailed(path);
        WaitPumping(process.get());
        ended = ::GetExitCodeProcess(process.get(), &code) != 0;
    }
    if (ended && CarriesReport(code)) return WithKeptCopy(ReportFromExitCode(code, path));
    if (ended && code == kRequestRefusedExitCode) return AllFailed(path);
    CSettings written(path);
    return ReportFromReadBack(path, SettingsHold(written, request.values), SwitchHolds(request));
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

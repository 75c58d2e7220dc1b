#include "ProgramUnderTest.h"

#include <commctrl.h>
#include <tlhelp32.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "LanguageTable.h"
#include "ProgramFolder.h"
#include "pinchwell/AnsiText.h"

namespace fs = std::filesystem;

namespace {

std::wstring TestProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return fs::path(path).parent_path().wstring();
}

std::wstring ClassOf(HWND window) {
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

bool HasInstanceProperty(HWND window) { return ::GetPropW(window, L"Pinchwell") == reinterpret_cast<HANDLE>(1); }

struct Search {
    DWORD processId;
    bool wantDialog;
    HWND found = nullptr;
};

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner != search->processId || !::IsWindowVisible(window)) return TRUE;
    bool isDialog = HasInstanceProperty(window);
    if (search->wantDialog ? isDialog : (!isDialog && ClassOf(window) == L"#32770")) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND FindOf(DWORD processId, bool wantDialog) {
    Search search{processId, wantDialog};
    ::EnumWindows(&FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK CollectStaticText(HWND child, LPARAM param) {
    auto* text = reinterpret_cast<std::wstring*>(param);
    if (ClassOf(child) == L"Static") {
        std::wstring part = TextOf(child);
        if (!part.empty()) *text += part;
    }
    return TRUE;
}

}  // namespace

ProgramFolder::ProgramFolder()
    : folder_(pinchwell::AnsiToWide(GetProgramFilesFolder()) + L"\\Kestrune\\Pinchwell") {
    fs::remove_all(folder_);
    fs::create_directories(folder_);
    std::wstring from = TestProgramFolder();
    for (const wchar_t* name : {L"PinchwellConfig.exe", L"PinchkitCHT.dll", L"PinchkitCHS.dll"})
        fs::copy_file(from + L"\\" + name, folder_ + L"\\" + name, fs::copy_options::overwrite_existing);
}

ProgramFolder::ProgramFolder(const std::string& programFiles)
    : folder_(pinchwell::AnsiToWide(programFiles) + L"\\Kestrune\\Pinchwell") {
    fs::remove_all(folder_);
    fs::create_directories(folder_);
}

ProgramFolder::~ProgramFolder() {
    SetConfigReadOnly(false);
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
    fs::remove(fs::path(folder_).parent_path(), ignored);  // "Kestrune", when nothing else is in it
}

void ProgramFolder::WriteConfig(const std::string& bytes) const {
    std::ofstream(fs::path(ConfigFile()), std::ios::binary | std::ios::trunc) << bytes;
}

std::string ProgramFolder::ReadConfig() const { return ReadWholeFile(ConfigFile()); }

std::string ReadWholeFile(const std::wstring& path) {
    std::ifstream in(fs::path(path), std::ios::binary);
    if (!in) return "<missing>";
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::wstring ProgramString(UINT id) {
    const char* library = LanguageLibraryForLcid(::GetUserDefaultLCID());
    std::wstring name = library ? pinchwell::AnsiToWide(library) : L"PinchwellConfig.exe";
    pinchwell::UniqueModule module(::LoadLibraryExW(BesideDriver(name).c_str(), nullptr,
                                                    LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    wchar_t text[512] = {};
    int n = module ? ::LoadStringW(module.get(), id, text, 512) : 0;
    return std::wstring(text, n > 0 ? static_cast<size_t>(n) : 0);
}

std::wstring BesideDriver(const std::wstring& name) { return TestProgramFolder() + L"\\" + name; }

void ProgramFolder::RemoveConfig() const { ::DeleteFileW(ConfigFile().c_str()); }

void ProgramFolder::SetConfigReadOnly(bool readOnly) const {
    ::SetFileAttributesW(ConfigFile().c_str(), readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
}

void ProgramFolder::StampConfigAsShipped() const {
    SYSTEMTIME shipped{2010, 3, 1, 1, 12, 0, 0, 0};
    FILETIME time{};
    ::SystemTimeToFileTime(&shipped, &time);
    pinchwell::UniqueFile file(::CreateFileW(ConfigFile().c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, 0, nullptr));
    ::SetFileTime(file.get(), nullptr, nullptr, &time);
}

ProgramUnderTest::ProgramUnderTest(const ProgramFolder& folder) : ProgramUnderTest(folder.Path()) {}

ProgramUnderTest::ProgramUnderTest(const std::wstring& folderPath, const std::wstring& arguments) {
    std::wstring exe = folderPath + L"\\PinchwellConfig.exe";
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!arguments.empty()) commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folderPath.c_str(),
                          &startup, &info))
        return;
    process_.reset(info.hProcess);
    pinchwell::UniqueHandle thread(info.hThread);
    processId_ = info.dwProcessId;
}

ProgramUnderTest::~ProgramUnderTest() {
    if (process_ && ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) {
        ::TerminateProcess(process_.get(), 1);
        ::WaitForSingleObject(process_.get(), 5000);
    }
}

HWND ProgramUnderTest::FindDialog() const { return FindOf(processId_, true); }

HWND ProgramUnderTest::WaitForDialog(DWORD timeoutMs) const {
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = FindDialog()) != nullptr; }, timeoutMs);
    return dialog;
}

MessageBoxSeen ProgramUnderTest::WaitForMessageBox(DWORD timeoutMs) const {
    MessageBoxSeen box;
    if (!WaitUntil([&] { return (box.window = FindOf(processId_, false)) != nullptr; }, timeoutMs)) return box;
    box.owner = ::GetWindow(box.window, GW_OWNER);
    box.caption = TextOf(box.window);
    // The text is laid out once the box is shown; wait for it.
    WaitUntil([&] {
        box.text.clear();
        ::EnumChildWindows(box.window, &CollectStaticText, reinterpret_cast<LPARAM>(&box.text));
        return !box.text.empty();
    }, 2000);
    return box;
}

void ProgramUnderTest::Answer(const MessageBoxSeen& box) {
    if (!box.window) return;
    ::PostMessageW(box.window, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    // Gone before the caller looks for the program's next box.
    WaitUntil([&] { return !::IsWindow(box.window); }, 5000);
}

bool ProgramUnderTest::WaitForExit(DWORD timeoutMs) const {
    return process_ && ::WaitForSingleObject(process_.get(), timeoutMs) == WAIT_OBJECT_0;
}

DWORD ProgramUnderTest::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    if (process_) ::GetExitCodeProcess(process_.get(), &code);
    return code;
}

ForegroundWindow::ForegroundWindow()
    : window_(::CreateWindowExW(WS_EX_TOPMOST, L"Static", L"driver", WS_POPUP | WS_VISIBLE, 0, 0, 40, 40, nullptr,
                                nullptr, ::GetModuleHandleW(nullptr), nullptr)) {
    ::SetForegroundWindow(window_.get());
}

int RunningSettingsPrograms() {
    pinchwell::UniqueFile snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more; more = ::Process32NextW(snapshot.get(), &entry))
        if (::lstrcmpiW(entry.szExeFile, L"PinchwellConfig.exe") == 0) ++count;
    return count;
}

int CheckOf(HWND dialog, int id) { return static_cast<int>(::SendDlgItemMessageW(dialog, id, BM_GETCHECK, 0, 0)); }

int PositionOf(HWND dialog, int id) {
    return static_cast<int>(::SendDlgItemMessageW(dialog, id, TBM_GETPOS, 0, 0));
}

void SetPosition(HWND dialog, int id, int position) {
    ::SendDlgItemMessageW(dialog, id, TBM_SETPOS, TRUE, position);
}

bool IsControlEnabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != FALSE; }

std::wstring TextOf(HWND window) {
    wchar_t text[1024] = {};
    LRESULT n = ::SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return std::wstring(text, static_cast<size_t>(n > 0 ? n : 0));
}

void Click(HWND dialog, int id) { ::SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0); }

void PostClick(HWND dialog, int id) { ::PostMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

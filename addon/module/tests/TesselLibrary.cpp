#include "TesselLibrary.h"

#include <vector>

#include <pinchwell/UniqueHandle.h>

std::wstring ModulePath(HMODULE module) {
    std::vector<wchar_t> path(32768);
    DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    return std::wstring(path.data(), length);
}

std::wstring TesselPath() {
    std::wstring program = ModulePath(nullptr);
    return program.substr(0, program.find_last_of(L'\\') + 1) + L"Tessel.dll";
}

HMODULE TesselModuleHandle() {
    // Stays loaded for the test process: the library is never freed while it may be asked.
    static HMODULE module = ::LoadLibraryW(TesselPath().c_str());
    return module;
}

DWORD RunRegsvr32(const std::wstring& switches) {
    std::wstring commandLine = L"regsvr32.exe /s " + switches + L" \"" + TesselPath() + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    // Under Wine a process start has once failed while other tests started theirs in the
    // same prefix: one more try before the registration counts as failed.
    bool started = false;
    for (int attempt = 0; attempt < 2 && !started; ++attempt) {
        if (attempt > 0) ::Sleep(500);
        started = ::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                   &process) != FALSE;
    }
    if (!started) return 0xFFFFFFFFu;
    pinchwell::UniqueHandle processHandle(process.hProcess), threadHandle(process.hThread);
    ::WaitForSingleObject(process.hProcess, 60000);
    DWORD exitCode = 0xFFFFFFFFu;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    return exitCode;
}

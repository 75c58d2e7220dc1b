#include <windows.h>
#include <shlobj.h>

#include <pinchwell/AnsiText.h>

#include "ProgramFolder.h"

namespace {

std::string ShellFolder(int csidl) {
    wchar_t folder[MAX_PATH] = {};
    // On failure the buffer stays empty and so does the folder.
    ::SHGetSpecialFolderPathW(nullptr, folder, csidl, FALSE);
    return pinchwell::WideToAnsi(folder);
}

bool UnderWow64() {
    BOOL wow64 = FALSE;
    return ::IsWow64Process(::GetCurrentProcess(), &wow64) && wow64;
}

// Windows 7 gives every process ProgramW6432, the 64-bit programs' folder; the shell's
// FOLDERID_ProgramFilesX64 is refused to 32-bit callers.
std::string NativeProgramFilesFolder() {
    wchar_t folder[MAX_PATH] = {};
    DWORD length = ::GetEnvironmentVariableW(L"ProgramW6432", folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    return pinchwell::WideToAnsi(folder);
}

}  // namespace

std::string GetProgramFilesFolder() {
    ProgramFilesFacts facts;
    facts.ownFolder = ShellFolder(CSIDL_PROGRAM_FILES);
    facts.underWow64 = UnderWow64();
    if (facts.underWow64) facts.nativeFolder = NativeProgramFilesFolder();
    return ProgramFilesFolderOf(facts);
}

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
}  // namespace

std::string GetProgramFilesFolder() { return ShellFolder(CSIDL_PROGRAM_FILES); }

std::string GetProgramFilesX86Folder() { return ShellFolder(CSIDL_PROGRAM_FILESX86); }

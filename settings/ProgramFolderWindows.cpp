#include <windows.h>
#include <shlobj.h>

#include <pinchwell/AnsiText.h>

#include "ProgramFolder.h"

std::string GetProgramFilesFolder() {
    wchar_t folder[MAX_PATH] = {};
    // On failure the buffer stays empty and so does the folder.
    ::SHGetSpecialFolderPathW(nullptr, folder, CSIDL_PROGRAM_FILES, FALSE);
    return pinchwell::WideToAnsi(folder);
}

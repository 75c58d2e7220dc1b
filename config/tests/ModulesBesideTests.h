#pragma once
// The program and its language libraries lie in the test program's own folder.
#include <windows.h>

#include <string>

#include "pinchwell/UniqueHandle.h"

inline std::wstring BesideTests(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L'\\') + 1) + name;
}

// Loaded for its resources only: nothing of it runs.
inline pinchwell::UniqueModule LoadAsData(const wchar_t* name) {
    return pinchwell::UniqueModule(
        ::LoadLibraryExW(BesideTests(name).c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

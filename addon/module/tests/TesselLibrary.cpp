#include "TesselLibrary.h"

#include <vector>

std::wstring TesselPath() {
    std::vector<wchar_t> path(32768);
    DWORD length = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    std::wstring program(path.data(), length);
    return program.substr(0, program.find_last_of(L'\\') + 1) + L"Tessel.dll";
}

HMODULE TesselModuleHandle() {
    // Stays loaded for the test process: the library is never freed while it may be asked.
    static HMODULE module = ::LoadLibraryW(TesselPath().c_str());
    return module;
}

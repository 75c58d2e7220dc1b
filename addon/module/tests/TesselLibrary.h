#pragma once
// Tessel.dll as the Windows tests reach it: the library file beside the test program,
// loaded once for the test process, its exports, and its registration by regsvr32.
#include <windows.h>

#include <string>

// The file a loaded module was loaded from; the test program's own for null.
std::wstring ModulePath(HMODULE module);
std::wstring TesselPath();
HMODULE TesselModuleHandle();

// Runs "regsvr32 /s" with the switches on TesselPath() and waits for it; its exit code,
// 0xFFFFFFFF when it could not be started.
DWORD RunRegsvr32(const std::wstring& switches);

using DllCanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();
using DllGetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using DllInstallFn = HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR);

// The export of a loaded module; null when it has none of that name.
template <typename Function>
Function ModuleExport(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

template <typename Function>
Function TesselExport(const char* name) {
    return ModuleExport<Function>(TesselModuleHandle(), name);
}

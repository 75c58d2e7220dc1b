#pragma once
// Tessel.dll as the Windows tests reach it: the library file beside the test program,
// loaded once for the test process, and its exports.
#include <windows.h>

#include <string>

std::wstring TesselPath();
HMODULE TesselModuleHandle();

using DllCanUnloadNowFn = HRESULT(STDAPICALLTYPE*)();
using DllGetClassObjectFn = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
using DllInstallFn = HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR);

template <typename Function>
Function TesselExport(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(TesselModuleHandle(), name)));
}

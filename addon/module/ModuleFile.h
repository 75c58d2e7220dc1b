#pragma once
// The library file that this code is linked into, and the type library embedded in it.
#include <windows.h>
#include <oaidl.h>

#include <string>

#include "pinchwell/ComPtr.h"

HMODULE ThisModule();
// The full path of ThisModule() (GetModuleFileNameW), empty when it cannot be had.
std::wstring ThisModulePath();
// TYPELIB 1 of ThisModule(), loaded without registering it.
HRESULT LoadModuleTypeLib(pinchwell::ComPtr<ITypeLib>& typeLib);

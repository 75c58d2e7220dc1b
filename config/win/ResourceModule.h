#pragma once
// The module the program takes its dialog templates, strings and icons from: the
// program itself, or the language library that start-up chose.
#include <windows.h>

#include <string>

HMODULE GetResourceModule();
void SetResourceModule(HMODULE module);

// A string of the string table in the current resource module; empty when missing.
std::wstring LoadResourceString(UINT id);

#pragma once
// Picks the language library for the user's default locale, loads it and makes it
// the current resource module.
#include <windows.h>

#include <cstdint>
#include <string>

#include "pinchwell/UniqueHandle.h"

// Null when the program keeps its own English resources.
pinchwell::UniqueModule LoadLanguageLibrary();
// The same for a given LCID, for tests.
pinchwell::UniqueModule LoadLanguageLibraryForLcid(std::uint32_t lcid);
// The same from a given folder (with its trailing separator) instead of the program's.
pinchwell::UniqueModule LoadLanguageLibraryFrom(const std::wstring& folder, std::uint32_t lcid);

#pragma once
// Which language library serves a user's default locale.
#include <cstdint>

inline constexpr const char* kTraditionalChineseLibrary = "PinchkitCHT.dll";
inline constexpr const char* kSimplifiedChineseLibrary = "PinchkitCHS.dll";

// The library's file name for the whole LCID (language and sort id), or null when
// the program keeps its own English resources.
const char* LanguageLibraryForLcid(std::uint32_t lcid);

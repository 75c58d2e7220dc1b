#include "LanguageLibrary.h"

#include "LanguageTable.h"
#include "ResourceModule.h"
#include "pinchwell/AnsiText.h"

pinchwell::UniqueModule LoadLanguageLibrary() {
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    if (!kernel) return {};
    using LcidFn = LCID(WINAPI*)();
    auto getLcid = reinterpret_cast<LcidFn>(reinterpret_cast<void*>(::GetProcAddress(kernel, "GetUserDefaultLCID")));
    if (!getLcid) return {};
    return LoadLanguageLibraryForLcid(getLcid());
}

pinchwell::UniqueModule LoadLanguageLibraryForLcid(std::uint32_t lcid) {
    const char* name = LanguageLibraryForLcid(lcid);
    if (!name) return {};
    // The bare name: the standard search looks in the program's folder first.
    pinchwell::UniqueModule library(::LoadLibraryW(pinchwell::AnsiToWide(name).c_str()));
    if (library) SetResourceModule(library.get());
    return library;
}

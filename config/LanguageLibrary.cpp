#include "LanguageLibrary.h"

#include "LanguageTable.h"
#include "ResourceIds.h"
#include "ResourceModule.h"
#include "pinchwell/AnsiText.h"

namespace {

std::wstring ProgramFolder() {
    wchar_t path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return {};
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

}  // namespace

pinchwell::UniqueModule LoadLanguageLibrary() {
    HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    if (!kernel) return {};
    using LcidFn = LCID(WINAPI*)();
    auto getLcid = reinterpret_cast<LcidFn>(reinterpret_cast<void*>(::GetProcAddress(kernel, "GetUserDefaultLCID")));
    if (!getLcid) return {};
    return LoadLanguageLibraryForLcid(getLcid());
}

pinchwell::UniqueModule LoadLanguageLibraryForLcid(std::uint32_t lcid) {
    return LoadLanguageLibraryFrom(ProgramFolder(), lcid);
}

// The program may run with an administrator's rights: the library is taken only from the
// program's own folder, never from the search path, and only as resources, so none of
// its code runs. A library without the dialog (a stale or foreign one) is not used:
// the program would have no window to show.
pinchwell::UniqueModule LoadLanguageLibraryFrom(const std::wstring& folder, std::uint32_t lcid) {
    const char* name = LanguageLibraryForLcid(lcid);
    if (!name || folder.empty()) return {};
    std::wstring path = folder + pinchwell::AnsiToWide(name);
    pinchwell::UniqueModule library(
        ::LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
    if (!library ||
        !::FindResourceW(library.get(), MAKEINTRESOURCEW(IDD_PINCHWELLCONFIG_DIALOG), RT_DIALOG))
        return {};
    SetResourceModule(library.get());
    return library;
}

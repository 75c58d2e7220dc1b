#include "ModuleFile.h"

#include <vector>

// The linker's symbol for the start of the image that holds this code.
extern "C" IMAGE_DOS_HEADER __ImageBase;

HMODULE ThisModule() { return reinterpret_cast<HMODULE>(&__ImageBase); }

std::wstring ThisModulePath() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD length = ::GetModuleFileNameW(ThisModule(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return std::wstring(buffer.data(), length);
        buffer.resize(buffer.size() * 2);  // truncated: the path is longer than the buffer
    }
}

HRESULT LoadModuleTypeLib(pinchwell::ComPtr<ITypeLib>& typeLib) {
    std::wstring path = ThisModulePath();
    if (path.empty()) return HRESULT_FROM_WIN32(::GetLastError());
    return ::LoadTypeLibEx(path.c_str(), REGKIND_NONE, typeLib.put());
}

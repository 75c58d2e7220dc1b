#include "ResourceModule.h"

namespace {
HMODULE g_resourceModule = nullptr;  // null: the program's own image
}

HMODULE GetResourceModule() { return g_resourceModule ? g_resourceModule : ::GetModuleHandleW(nullptr); }

void SetResourceModule(HMODULE module) { g_resourceModule = module; }

std::wstring LoadResourceString(UINT id) {
    // With a zero buffer size LoadStringW hands out a pointer into the resource itself.
    const wchar_t* text = nullptr;
    int length = ::LoadStringW(GetResourceModule(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return {};
    return std::wstring(text, static_cast<size_t>(length));
}

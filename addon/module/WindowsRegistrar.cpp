#include "WindowsRegistrar.h"

#include "ModuleFile.h"
#include "pinchwell/ComPtr.h"
#include "pinchwell/UniqueHandle.h"

namespace {

HKEY RootKey(RegistryRoot root) { return root == RegistryRoot::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

long Create(RegistryRoot root, const std::wstring& key, pinchwell::UniqueRegKey& out) {
    return ::RegCreateKeyExW(RootKey(root), key.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr,
                             out.put(), nullptr);
}

long SetValue(RegistryRoot root, const std::wstring& key, const std::wstring& name, DWORD type, const void* data,
              DWORD size) {
    pinchwell::UniqueRegKey opened;
    if (long status = Create(root, key, opened)) return status;
    return ::RegSetValueExW(opened.get(), name.empty() ? nullptr : name.c_str(), 0, type,
                            static_cast<const BYTE*>(data), size);
}

using TypeLibForUser = HRESULT(WINAPI*)(ITypeLib*, OLECHAR*, OLECHAR*);
using UnTypeLibForUser = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);

// OLEAUT32's per-user functions, where this system has them.
template <typename Function>
Function OleAutomation(const char* name) {
    HMODULE oleaut32 = ::GetModuleHandleW(L"oleaut32.dll");
    return oleaut32 ? reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(oleaut32, name))) : nullptr;
}

}  // namespace

long WindowsRegistrar::CreateKey(RegistryRoot root, const std::wstring& key) {
    pinchwell::UniqueRegKey opened;
    return Create(root, key, opened);
}

long WindowsRegistrar::SetString(RegistryRoot root, const std::wstring& key, const std::wstring& name,
                                 const std::wstring& text) {
    return SetValue(root, key, name, REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

long WindowsRegistrar::SetDword(RegistryRoot root, const std::wstring& key, const std::wstring& name,
                                std::uint32_t number) {
    DWORD data = number;
    return SetValue(root, key, name, REG_DWORD, &data, sizeof data);
}

long WindowsRegistrar::DeleteTree(RegistryRoot root, const std::wstring& key) {
    return ::RegDeleteTreeW(RootKey(root), key.c_str());
}

HResult WindowsRegistrar::RegisterTypeLibrary(RegistrationScope scope) {
    pinchwell::ComPtr<ITypeLib> typeLib;
    HRESULT hr = LoadModuleTypeLib(typeLib);
    if (FAILED(hr)) return hr;
    std::wstring path = ThisModulePath();
    // The help folder is the library's own folder.
    std::wstring folder = path.substr(0, path.find_last_of(L'\\') + 1);
    if (scope == RegistrationScope::PerUser) {
        if (auto forUser = OleAutomation<TypeLibForUser>("RegisterTypeLibForUser"))
            return forUser(typeLib.get(), path.data(), folder.data());
    }
    return ::RegisterTypeLib(typeLib.get(), path.data(), folder.data());
}

HResult WindowsRegistrar::UnregisterTypeLibrary(RegistrationScope scope) {
    pinchwell::ComPtr<ITypeLib> typeLib;
    HRESULT hr = LoadModuleTypeLib(typeLib);
    if (FAILED(hr)) return hr;
    TLIBATTR* attributes = nullptr;
    hr = typeLib->GetLibAttr(&attributes);
    if (FAILED(hr)) return hr;
    TLIBATTR library = *attributes;
    typeLib->ReleaseTLibAttr(attributes);
    if (scope == RegistrationScope::PerUser) {
        if (auto forUser = OleAutomation<UnTypeLibForUser>("UnRegisterTypeLibForUser"))
            return forUser(library.guid, library.wMajorVerNum, library.wMinorVerNum, library.lcid, library.syskind);
    }
    return ::UnRegisterTypeLib(library.guid, library.wMajorVerNum, library.wMinorVerNum, library.lcid,
                               library.syskind);
}

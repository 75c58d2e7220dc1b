#pragma once
// The registrar over the Windows registry and OLE automation's type library registration.
#include <windows.h>

#include "ServerRegistration.h"

class WindowsRegistrar final : public Registrar {
public:
    long CreateKey(RegistryRoot root, const std::wstring& key) override;
    long SetString(RegistryRoot root, const std::wstring& key, const std::wstring& name,
                   const std::wstring& text) override;
    long SetDword(RegistryRoot root, const std::wstring& key, const std::wstring& name,
                  std::uint32_t number) override;
    long DeleteTree(RegistryRoot root, const std::wstring& key) override;
    // TYPELIB 1 of this library, registered from the library's own path.
    HResult RegisterTypeLibrary(RegistrationScope scope) override;
    HResult UnregisterTypeLibrary(RegistrationScope scope) override;
};

// Sets the thread's locale for a scope and puts the previous one back.
class ThreadLocaleScope {
public:
    explicit ThreadLocaleScope(LCID locale) : saved_(::GetThreadLocale()) { ::SetThreadLocale(locale); }
    ~ThreadLocaleScope() { ::SetThreadLocale(saved_); }
    ThreadLocaleScope(const ThreadLocaleScope&) = delete;
    ThreadLocaleScope& operator=(const ThreadLocaleScope&) = delete;

private:
    LCID saved_;
};

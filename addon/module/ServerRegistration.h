#pragma once
// Registration and unregistration of the add-on's COM server, over a registrar that does
// the writing: the registry rows of RegistrationTable and the type library.
#include <cstdint>
#include <string>

#include "RegistrationTable.h"

using HResult = std::int32_t;
constexpr HResult kOk = 0;
constexpr long kWin32FileNotFound = 2;  // ERROR_FILE_NOT_FOUND
inline bool Failed(HResult hr) { return hr < 0; }
// HRESULT_FROM_WIN32
HResult HResultFromWin32(long status);

// What registration needs from the platform. Registry operations answer a Win32 status
// (0 on success); the type library operations an HRESULT.
class Registrar {
public:
    virtual ~Registrar() = default;
    virtual long CreateKey(RegistryRoot root, const std::wstring& key) = 0;
    // Both create the key when it is missing; an empty name is the default value.
    virtual long SetString(RegistryRoot root, const std::wstring& key, const std::wstring& name,
                           const std::wstring& text) = 0;
    virtual long SetDword(RegistryRoot root, const std::wstring& key, const std::wstring& name,
                          std::uint32_t number) = 0;
    // Deletes the key with everything below it.
    virtual long DeleteTree(RegistryRoot root, const std::wstring& key) = 0;
    virtual HResult RegisterTypeLibrary(RegistrationScope scope) = 0;
    virtual HResult UnregisterTypeLibrary(RegistrationScope scope) = 0;
};

// The module's rows, the class's rows, then the type library; stops at the first failure
// and answers its HRESULT (a key that is already missing is no failure).
HResult RegisterServer(Registrar& registrar, RegistrationScope scope, const RegistrySubstitutions& with);
// Removes the class's rows, the type library, then the module's rows. Every step is tried;
// the answer is the first failure (a key that is already missing is no failure).
HResult UnregisterServer(Registrar& registrar, RegistrationScope scope, const RegistrySubstitutions& with);

// DllInstall's command line: "user", in any case, and nothing after it.
bool IsPerUserCommandLine(const wchar_t* commandLine);
// DllInstall: registers (and on failure unregisters again, answering the registration's
// HRESULT) or unregisters, per user when the command line asks for it.
HResult InstallServer(Registrar& registrar, bool install, const wchar_t* commandLine,
                      const RegistrySubstitutions& with);

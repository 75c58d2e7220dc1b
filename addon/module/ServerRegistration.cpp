#include "ServerRegistration.h"

#include <vector>

namespace {

long Apply(Registrar& registrar, const RegistryStep& step) {
    using A = RegistryStep::Action;
    switch (step.action) {
        case A::DeleteTree: {
            long status = registrar.DeleteTree(step.root, step.key);
            return status == kWin32FileNotFound ? 0 : status;
        }
        case A::CreateKey: return registrar.CreateKey(step.root, step.key);
        case A::SetString: return registrar.SetString(step.root, step.key, step.valueName, step.text);
        case A::SetDword: return registrar.SetDword(step.root, step.key, step.valueName, step.number);
    }
    return 0;
}

HResult ApplyUntilFailure(Registrar& registrar, const std::vector<RegistryStep>& steps) {
    for (const RegistryStep& step : steps) {
        if (long status = Apply(registrar, step)) return HResultFromWin32(status);
    }
    return kOk;
}

// Keeps the first failure.
void Note(HResult& first, HResult hr) {
    if (!Failed(first) && Failed(hr)) first = hr;
}

HResult ApplyAll(Registrar& registrar, const std::vector<RegistryStep>& steps) {
    HResult first = kOk;
    for (const RegistryStep& step : steps) {
        if (long status = Apply(registrar, step)) Note(first, HResultFromWin32(status));
    }
    return first;
}

}  // namespace

HResult HResultFromWin32(long status) {
    if (status <= 0) return static_cast<HResult>(status);
    return static_cast<HResult>((static_cast<std::uint32_t>(status) & 0xFFFFu) | 0x80070000u);
}

HResult RegisterServer(Registrar& registrar, RegistrationScope scope, const RegistrySubstitutions& with) {
    HResult hr = ApplyUntilFailure(registrar, RegistrationSteps(RowScript::Module, scope, with));
    if (Failed(hr)) return hr;
    hr = ApplyUntilFailure(registrar, RegistrationSteps(RowScript::Class, scope, with));
    if (Failed(hr)) return hr;
    return registrar.RegisterTypeLibrary(scope);
}

HResult UnregisterServer(Registrar& registrar, RegistrationScope scope, const RegistrySubstitutions& with) {
    HResult first = ApplyAll(registrar, UnregistrationSteps(RowScript::Class, scope, with));
    Note(first, registrar.UnregisterTypeLibrary(scope));
    Note(first, ApplyAll(registrar, UnregistrationSteps(RowScript::Module, scope, with)));
    return first;
}

bool IsPerUserCommandLine(const wchar_t* commandLine) {
    if (!commandLine) return false;
    // Five characters: the terminator has to follow "user".
    static const wchar_t kUser[] = L"user";
    for (int i = 0; i < 5; ++i) {
        wchar_t c = commandLine[i];
        if (c >= L'A' && c <= L'Z') c = static_cast<wchar_t>(c - L'A' + L'a');
        if (c != kUser[i]) return false;
    }
    return true;
}

HResult InstallServer(Registrar& registrar, bool install, const wchar_t* commandLine,
                      const RegistrySubstitutions& with) {
    RegistrationScope scope = IsPerUserCommandLine(commandLine) ? RegistrationScope::PerUser
                                                                : RegistrationScope::PerMachine;
    if (!install) return UnregisterServer(registrar, scope, with);
    HResult hr = RegisterServer(registrar, scope, with);
    if (Failed(hr)) UnregisterServer(registrar, scope, with);
    return hr;
}

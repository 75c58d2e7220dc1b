// Tessel.dll's module object, its entry point and its five exports.
#include "TesselModule.h"

#include <pinchwell/ComBoundary.h>

#include "AddonState.h"
#include "ModuleFile.h"
#include "ServerRegistration.h"
#include "TesselClassFactory.h"
#include "ZoomPreview.h"
#include "WindowsRegistrar.h"

// Built first when the library loads; the add-on state follows it and, destroyed by
// DllMain, goes before it.
static CTesselModule tesselModule;
[[maybe_unused]] static AddonState& addonAtLoad = Addon();

namespace {

// Runs a registration with the system's default locale on the thread, as the registry's
// text is written; the caller's locale is put back afterwards.
template <typename Registration>
HRESULT WithSystemLocale(Registration registration) {
    return pinchwell::ComBoundary([&]() -> HRESULT {
        ThreadLocaleScope locale(LOCALE_SYSTEM_DEFAULT);
        WindowsRegistrar registrar;
        return registration(registrar, TesselSubstitutions(ThisModulePath()));
    });
}

}  // namespace

CTesselModule& TesselModule() { return tesselModule; }

// Nothing here needs the loader lock to be free: no threads, no COM, no GDI+. The static
// objects above are built before this runs. Window classes outlive a DLL that is freed
// (not at process end), so the preview's go with it; a library that attached a tab is
// pinned and never freed (see EventSinkAttach.cpp).
extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_THREAD_DETACH:
        // A tab thread that ended without detaching (no SetSite(NULL), or its add-on object
        // released on another thread) leaves nothing that a later thread of the same id
        // would take for its own. Table work only, under the loader lock.
        Addon().eventSink.ForgetThread(::GetCurrentThreadId());
        break;
    case DLL_PROCESS_DETACH:
        // With reserved set the process is ending: its other threads were stopped wherever
        // they were (in the hook, holding a table's lock), and nothing is destroyed.
        if (reserved == nullptr) {
            UnregisterPreviewClasses(instance);
            DestroyAddon();
        }
        break;
    default:
        break;
    }
    return TRUE;
}

STDAPI DllCanUnloadNow() { return tesselModule.LockCount() == 0 ? S_OK : S_FALSE; }

STDAPI DllGetClassObject(REFCLSID classId, REFIID riid, LPVOID* out) {
    return GetTesselClassObject(classId, riid, out);
}

STDAPI DllRegisterServer() {
    return WithSystemLocale([](Registrar& registrar, const RegistrySubstitutions& with) {
        return RegisterServer(registrar, RegistrationScope::PerMachine, with);
    });
}

STDAPI DllUnregisterServer() {
    return WithSystemLocale([](Registrar& registrar, const RegistrySubstitutions& with) {
        return UnregisterServer(registrar, RegistrationScope::PerMachine, with);
    });
}

STDAPI DllInstall(BOOL install, LPCWSTR commandLine) {
    return WithSystemLocale([&](Registrar& registrar, const RegistrySubstitutions& with) {
        return InstallServer(registrar, install != FALSE, commandLine, with);
    });
}

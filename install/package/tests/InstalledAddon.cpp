// Creates the add-on's class by its class id, as the browser does, and prints the path of
// the Tessel.dll that COM loaded into this process (the one registered in the registry
// view of this program's bitness), then the settings file that the add-on's settings
// store finds in a process of this bitness. Exits non-zero when the class cannot be created.
#include <windows.h>

#include <cstdio>

#include "ProgramFolder.h"
#include "TesselIds.h"
#include "pinchwell/ComInit.h"
#include "pinchwell/ComPtr.h"

int main() {
    pinchwell::ComInit com;
    CLSID classId{};
    if (FAILED(::CLSIDFromString(const_cast<LPOLESTR>(tesselid::kClassId), &classId))) return 2;
    pinchwell::ComPtr<IUnknown> addon;
    HRESULT hr = ::CoCreateInstance(classId, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, addon.put_void());
    if (FAILED(hr)) {
        std::printf("the add-on's class cannot be created: 0x%08lx\n", static_cast<unsigned long>(hr));
        return 1;
    }
    wchar_t path[MAX_PATH] = L"";
    HMODULE module = ::GetModuleHandleW(L"Tessel.dll");
    if (!module || !::GetModuleFileNameW(module, path, MAX_PATH)) {
        std::printf("the class was created without loading Tessel.dll\n");
        return 1;
    }
    std::printf("%ls\n%s\n", path, GetConfigPath().c_str());
    return 0;
}

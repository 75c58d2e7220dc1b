// A small program for the restart test: it runs before and after the registry's
// server restarts, so its state must live in the registry alone.
//   FlashSwitchProbe reset     removes the Flash control's subkey and the marker key
//   FlashSwitchProbe query     runs QueryFlashEnabled; prints "allowed" or "blocked"
//   FlashSwitchProbe allow     runs ApplyFlashEnabled(true); prints "written" or "failed"
//   FlashSwitchProbe flags     prints the stored flags, or "absent"
//   FlashSwitchProbe volatile  creates a volatile marker key
//   FlashSwitchProbe marker    prints "present" or "absent" for the marker key
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "FlashSwitch.h"
#include "RegistryFixtures.h"

namespace {
const wchar_t* kMarker = L"SOFTWARE\\PinchwellTests\\VolatileMarker";
}

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    FlashSwitchLocation location = BrowserFlashSwitch();
    std::wstring subkey = std::wstring(location.parentPath) + L"\\" + location.subkeyName;
    const char* command = argv[1];
    if (std::strcmp(command, "reset") == 0) {
        DeleteTree(location.root, subkey);
        DeleteTree(HKEY_LOCAL_MACHINE, kMarker);
        std::puts(KeyExists(location.root, subkey) ? "still there" : "reset");
    } else if (std::strcmp(command, "query") == 0) {
        std::puts(QueryFlashEnabled() ? "allowed" : "blocked");
    } else if (std::strcmp(command, "allow") == 0) {
        std::puts(ApplyFlashEnabled(true) ? "written" : "failed");
    } else if (std::strcmp(command, "flags") == 0) {
        auto flags = ReadDword(location.root, subkey, kFlagsValue);
        if (flags) std::printf("%lu\n", static_cast<unsigned long>(*flags));
        else std::puts("absent");
    } else if (std::strcmp(command, "volatile") == 0) {
        pinchwell::UniqueRegKey key;
        LONG status = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, kMarker, 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                        nullptr, key.put(), nullptr);
        std::puts(status == ERROR_SUCCESS ? "created" : "failed");
    } else if (std::strcmp(command, "marker") == 0) {
        std::puts(KeyExists(HKEY_LOCAL_MACHINE, kMarker) ? "present" : "absent");
    } else {
        return 2;
    }
    std::fflush(stdout);
    return 0;
}

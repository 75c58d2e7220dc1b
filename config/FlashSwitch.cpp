#include "FlashSwitch.h"

#include <cstdint>

#include "FlashFlags.h"
#include "pinchwell/UniqueHandle.h"

using pinchwell::UniqueRegKey;

namespace {

constexpr const wchar_t* kFlagsValue = L"Compatibility Flags";

UniqueRegKey OpenKey(HKEY parent, const wchar_t* path, REGSAM view) {
    UniqueRegKey key;
    if (::RegOpenKeyExW(parent, path, 0, KEY_ALL_ACCESS | view, key.put()) != ERROR_SUCCESS) key.reset();
    return key;
}

UniqueRegKey CreateSubkey(HKEY parent, const wchar_t* name, REGSAM view) {
    UniqueRegKey key;
    if (::RegCreateKeyExW(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS | view, nullptr,
                          key.put(), nullptr) != ERROR_SUCCESS)
        key.reset();
    return key;
}

bool WriteFlags(HKEY key, std::uint32_t flags) {
    DWORD value = flags;
    return ::RegSetValueExW(key, kFlagsValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
           ERROR_SUCCESS;
}

std::uint32_t ReadFlags(HKEY key) {
    DWORD value = 0;
    DWORD size = sizeof value;
    DWORD type = 0;
    if (::RegQueryValueExW(key, kFlagsValue, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
        ERROR_SUCCESS)
        return kFlashAllowedFlags;
    return value;
}

}  // namespace

FlashSwitchLocation BrowserFlashSwitch() {
    return {HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Internet Explorer\\ActiveX Compatibility",
            L"{D27CDB6E-AE6D-11CF-96B8-444553540000}", 0};
}

std::vector<FlashSwitchLocation> BrowserFlashSwitches() {
    std::vector<FlashSwitchLocation> places;
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        FlashSwitchLocation place = BrowserFlashSwitch();
        place.view = view;
        places.push_back(place);
    }
    return places;
}

// Flash is shown allowed only when no browser blocks it: a checkbox left ticked over a
// blocked browser would tell the user something untrue.
bool QueryFlashEnabled() {
    bool allowed = true;
    for (const FlashSwitchLocation& place : BrowserFlashSwitches()) allowed = QueryFlashEnabledAt(place) && allowed;
    return allowed;
}

bool ApplyFlashEnabled(bool allow) {
    bool written = true;
    for (const FlashSwitchLocation& place : BrowserFlashSwitches()) written = ApplyFlashEnabledAt(place, allow) && written;
    return written;
}

bool MayApplyFlashSwitch() {
    for (const FlashSwitchLocation& place : BrowserFlashSwitches()) {
        UniqueRegKey parent;
        if (::RegOpenKeyExW(place.root, place.parentPath, 0, KEY_ALL_ACCESS | place.view, parent.put()) ==
            ERROR_ACCESS_DENIED)
            return false;
    }
    return true;
}

bool QueryFlashEnabledAt(const FlashSwitchLocation& location) {
    UniqueRegKey parent = OpenKey(location.root, location.parentPath, location.view);
    if (!parent) return true;
    UniqueRegKey subkey = OpenKey(parent.get(), location.subkeyName, location.view);
    if (!subkey) {
        subkey = CreateSubkey(parent.get(), location.subkeyName, location.view);
        if (!subkey) return true;
        WriteFlags(subkey.get(), kFlashAllowedFlags);
    }
    return IsFlashAllowedByFlags(ReadFlags(subkey.get()));
}

bool ApplyFlashEnabledAt(const FlashSwitchLocation& location, bool allow) {
    UniqueRegKey parent = OpenKey(location.root, location.parentPath, location.view);
    if (!parent) return false;
    UniqueRegKey subkey = OpenKey(parent.get(), location.subkeyName, location.view);
    if (!subkey) subkey = CreateSubkey(parent.get(), location.subkeyName, location.view);
    if (!subkey) return false;
    return WriteFlags(subkey.get(), FlagsForFlashAllowed(allow));
}

#include "FlashSwitch.h"

#include <cstdint>

#include "FlashFlags.h"
#include "pinchwell/UniqueHandle.h"

using pinchwell::UniqueRegKey;

namespace {

constexpr const wchar_t* kFlagsValue = L"Compatibility Flags";

UniqueRegKey OpenKey(HKEY parent, const wchar_t* path) {
    UniqueRegKey key;
    if (::RegOpenKeyExW(parent, path, 0, KEY_ALL_ACCESS, key.put()) != ERROR_SUCCESS) key.reset();
    return key;
}

UniqueRegKey CreateSubkey(HKEY parent, const wchar_t* name) {
    UniqueRegKey key;
    if (::RegCreateKeyExW(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, key.put(),
                          nullptr) != ERROR_SUCCESS)
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
            L"{D27CDB6E-AE6D-11CF-96B8-444553540000}"};
}

bool QueryFlashEnabled() { return QueryFlashEnabledAt(BrowserFlashSwitch()); }

bool ApplyFlashEnabled(bool allow) { return ApplyFlashEnabledAt(BrowserFlashSwitch(), allow); }

bool QueryFlashEnabledAt(const FlashSwitchLocation& location) {
    UniqueRegKey parent = OpenKey(location.root, location.parentPath);
    if (!parent) return true;
    UniqueRegKey subkey = OpenKey(parent.get(), location.subkeyName);
    if (!subkey) {
        subkey = CreateSubkey(parent.get(), location.subkeyName);
        if (!subkey) return true;
        WriteFlags(subkey.get(), kFlashAllowedFlags);
    }
    return IsFlashAllowedByFlags(ReadFlags(subkey.get()));
}

bool ApplyFlashEnabledAt(const FlashSwitchLocation& location, bool allow) {
    UniqueRegKey parent = OpenKey(location.root, location.parentPath);
    if (!parent) return false;
    UniqueRegKey subkey = OpenKey(parent.get(), location.subkeyName);
    if (!subkey) subkey = CreateSubkey(parent.get(), location.subkeyName);
    if (!subkey) return false;
    return WriteFlags(subkey.get(), FlagsForFlashAllowed(allow));
}

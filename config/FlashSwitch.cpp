#include "FlashSwitch.h"

#include <cstdint>

#include "pinchwell/UniqueHandle.h"

using pinchwell::UniqueRegKey;

namespace {

constexpr const wchar_t* kFlagsValue = L"Compatibility Flags";

// A read asks only to read; a write asks for what it does and no more (not the right
// to change the key's owner or permissions, which a standard user never has).
constexpr REGSAM kReadAccess = KEY_QUERY_VALUE;
constexpr REGSAM kWriteAccess = KEY_QUERY_VALUE | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;

LONG OpenKey(HKEY parent, const wchar_t* path, REGSAM access, REGSAM view, UniqueRegKey& key) {
    LONG status = ::RegOpenKeyExW(parent, path, 0, access | view, key.put());
    if (status != ERROR_SUCCESS) key.reset();
    return status;
}

UniqueRegKey CreateSubkey(HKEY parent, const wchar_t* name, REGSAM view) {
    UniqueRegKey key;
    if (::RegCreateKeyExW(parent, name, 0, nullptr, REG_OPTION_NON_VOLATILE, kWriteAccess | view, nullptr,
                          key.put(), nullptr) != ERROR_SUCCESS)
        key.reset();
    return key;
}

bool WriteFlags(HKEY key, std::uint32_t flags) {
    DWORD value = flags;
    return ::RegSetValueExW(key, kFlagsValue, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
           ERROR_SUCCESS;
}

bool IsAbsent(LONG status) { return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND; }

FlashRead ReadOutcome(LONG status) { return IsAbsent(status) ? FlashRead::Absent : FlashRead::Unreadable; }

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

FlashState QueryFlashState() {
    std::vector<FlashState> states;
    for (const FlashSwitchLocation& place : BrowserFlashSwitches()) states.push_back(QueryFlashStateAt(place));
    return CombinedFlashState(states);
}

// A switch that cannot be read shows as the browser's default; the save leaves it alone
// unless the user changes the checkbox.
bool QueryFlashEnabled() { return QueryFlashState() != FlashState::Blocked; }

bool ApplyFlashEnabled(bool allow) {
    bool written = true;
    for (const FlashSwitchLocation& place : BrowserFlashSwitches()) written = ApplyFlashEnabledAt(place, allow) && written;
    return written;
}

bool MayApplyFlashSwitch() {
    for (const FlashSwitchLocation& place : BrowserFlashSwitches()) {
        UniqueRegKey parent;
        LONG status = OpenKey(place.root, place.parentPath, kWriteAccess, place.view, parent);
        if (status == ERROR_ACCESS_DENIED) return false;
        if (status != ERROR_SUCCESS) continue;
        UniqueRegKey subkey;
        if (OpenKey(parent.get(), place.subkeyName, kWriteAccess, place.view, subkey) == ERROR_ACCESS_DENIED)
            return false;
    }
    return true;
}

FlashState QueryFlashStateAt(const FlashSwitchLocation& location) {
    UniqueRegKey parent;
    LONG status = OpenKey(location.root, location.parentPath, kReadAccess, location.view, parent);
    if (status != ERROR_SUCCESS) return FlashStateOf(ReadOutcome(status), 0);
    UniqueRegKey subkey;
    status = OpenKey(parent.get(), location.subkeyName, kReadAccess, location.view, subkey);
    if (status != ERROR_SUCCESS) return FlashStateOf(ReadOutcome(status), 0);
    DWORD value = 0;
    DWORD size = sizeof value;
    status = ::RegQueryValueExW(subkey.get(), kFlagsValue, nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    // A value of another type or size reads as absent, as the browser's own default.
    if (status != ERROR_SUCCESS) return FlashStateOf(status == ERROR_ACCESS_DENIED ? FlashRead::Unreadable
                                                                                     : FlashRead::Absent, 0);
    return FlashStateOf(FlashRead::Flags, value);
}

bool QueryFlashEnabledAt(const FlashSwitchLocation& location) {
    return QueryFlashStateAt(location) != FlashState::Blocked;
}

bool ApplyFlashEnabledAt(const FlashSwitchLocation& location, bool allow) {
    UniqueRegKey parent;
    if (OpenKey(location.root, location.parentPath, kWriteAccess, location.view, parent) != ERROR_SUCCESS) return false;
    UniqueRegKey subkey;
    if (IsAbsent(OpenKey(parent.get(), location.subkeyName, kWriteAccess, location.view, subkey)))
        subkey = CreateSubkey(parent.get(), location.subkeyName, location.view);
    if (!subkey) return false;
    return WriteFlags(subkey.get(), FlagsForFlashAllowed(allow));
}

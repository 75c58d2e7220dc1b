#pragma once
// The browser's switch for the Flash ActiveX control: the "Compatibility Flags" of
// the control's CLSID under HKLM "...\Internet Explorer\ActiveX Compatibility".
// On 64-bit Windows each browser reads its own registry view: the 64-bit browser the
// 64-bit one, the default (32-bit) browser the 32-bit one. The switch is set in both.
#include <windows.h>

#include <vector>

#include "FlashFlags.h"

struct FlashSwitchLocation {
    HKEY root;
    const wchar_t* parentPath;
    const wchar_t* subkeyName;
    REGSAM view = 0;  // KEY_WOW64_64KEY, KEY_WOW64_32KEY, or 0 for the process's own view
};

// Where the browsers look: the 64-bit view, then the 32-bit one. On 32-bit Windows
// both name the one registry.
std::vector<FlashSwitchLocation> BrowserFlashSwitches();
// The location in the process's own view.
FlashSwitchLocation BrowserFlashSwitch();

// What every browser's switch says, read with the rights to read only (a standard user
// has no more): a missing key or value counts as allowed, and nothing is created.
FlashState QueryFlashState();
// True when Flash may load in every browser, or the switch cannot be read.
bool QueryFlashEnabled();
// Writes 0 (allow) or exactly the kill bit (block) for every browser, each view even
// when another failed; false when any of them was not written. A missing subkey is
// created (non-volatile, so the user's choice outlives a restart).
bool ApplyFlashEnabled(bool allow);
// Whether the user may set the switch: false only when the registry denies the rights
// the write asks for, which an administrator's rights would change.
bool MayApplyFlashSwitch();

// The same at one place, for tests that cannot touch the browser's keys.
FlashState QueryFlashStateAt(const FlashSwitchLocation& location);
bool QueryFlashEnabledAt(const FlashSwitchLocation& location);
bool ApplyFlashEnabledAt(const FlashSwitchLocation& location, bool allow);

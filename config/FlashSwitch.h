#pragma once
// The browser's switch for the Flash ActiveX control: the "Compatibility Flags" of
// the control's CLSID under HKLM "...\Internet Explorer\ActiveX Compatibility".
#include <windows.h>

struct FlashSwitchLocation {
    HKEY root;
    const wchar_t* parentPath;
    const wchar_t* subkeyName;
};

// Where the browser looks.
FlashSwitchLocation BrowserFlashSwitch();

// True when Flash may load. A missing subkey is created (non-volatile, so the
// user's choice outlives a restart) and given flags 0; a missing parent key or
// value counts as allowed.
bool QueryFlashEnabled();
// Writes 0 (allow) or exactly the kill bit (block); false when nothing was written.
bool ApplyFlashEnabled(bool allow);

// The same at another place, for tests that cannot touch the browser's keys.
bool QueryFlashEnabledAt(const FlashSwitchLocation& location);
bool ApplyFlashEnabledAt(const FlashSwitchLocation& location, bool allow);

#pragma once
// Where Internet Explorer records that the add-on is turned off, read for the dialog:
// the user's setting (HKCU ...\CurrentVersion\Ext\Settings\{class}, "Flags", written by
// Manage Add-ons) and the Add-on Management policies of the user and of the machine
// (...\CurrentVersion\Policies\Ext: "RestrictToList", and the class's value under CLSID).
#include <windows.h>

#include <vector>

#include "BrowserAddonState.h"

// Both registry views, the 64-bit one first: each browser reads its own. Windows 7 shares
// these keys between the views, so there the two agree.
std::vector<BrowserAddonFacts> GatherBrowserAddonFacts();
// One view: KEY_WOW64_64KEY, KEY_WOW64_32KEY, or 0 for the process's own.
BrowserAddonFacts GatherBrowserAddonFactsIn(REGSAM view);

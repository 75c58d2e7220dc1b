#pragma once
// Reads a DIALOGEX template from a module's resources, so tests can compare every
// control's id, class, text, style and position with what the dialog must show.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct DialogItem {
    int id;
    std::wstring className;  // predefined classes by name: "Button", "Static", ...
    std::wstring text;
    DWORD style;
    short x, y, cx, cy;
};

struct DialogTemplate {
    bool found = false;
    DWORD style = 0;
    DWORD exStyle = 0;
    short cx = 0, cy = 0;
    std::wstring caption;
    WORD pointSize = 0;
    std::wstring typeface;
    std::vector<DialogItem> items;
};

DialogTemplate ReadDialogTemplate(HMODULE module, int id);

#pragma once
// A dialog's message map: a table from a message (and for commands and
// notifications, the control and its code) to a handler of the dialog.
#include <windows.h>

#include <cstddef>

#include "Dialog.h"

template <typename Dlg>
struct MessageMapEntry {
    UINT message;
    int controlId;  // WM_COMMAND and WM_NOTIFY only
    int code;       // the notification code: BN_CLICKED, NM_CUSTOMDRAW, ...
    void (Dlg::*handler)(MessageArgs&);
};

// Finds the first entry for the message and calls its handler.
template <typename Dlg, std::size_t N>
bool DispatchMessageMap(Dlg& dialog, const MessageMapEntry<Dlg> (&map)[N], UINT message, MessageArgs& args) {
    for (const auto& entry : map) {
        if (entry.message != message) continue;
        if (message == WM_COMMAND) {
            if (LOWORD(args.wParam) != entry.controlId || HIWORD(args.wParam) != entry.code) continue;
        } else if (message == WM_NOTIFY) {
            const auto* header = reinterpret_cast<const NMHDR*>(args.lParam);
            if (static_cast<int>(header->idFrom) != entry.controlId || static_cast<int>(header->code) != entry.code)
                continue;
        }
        (dialog.*entry.handler)(args);
        return true;
    }
    return false;
}

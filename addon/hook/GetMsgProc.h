#pragma once
// The WH_GETMESSAGE hook procedure that attach installs on every tab thread.
#include <windows.h>

// Hands each message that the thread removes from its queue to the hook's logic
// (MessageHook.h), swallows it (WM_NULL) where that says so, and always returns
// CallNextHookEx. No exception leaves it: a message whose handling fails passes on.
LRESULT CALLBACK GetMsgProc(int code, WPARAM wParam, LPARAM lParam);

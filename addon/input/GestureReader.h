#pragma once
// Reading a WM_GESTURE's information. The hook and the pinch read gestures only through
// these two functions, so that the platform's reader can be replaced: Wine's
// GetGestureInfo always fails, and tests deliver real WM_GESTURE messages whose
// handles a test reader answers for.
#include <windows.h>

// The reader: GetGestureInfo and CloseGestureInfoHandle of user32 unless replaced.
struct GestureReader {
    BOOL(WINAPI* read)(HGESTUREINFO handle, PGESTUREINFO info);
    BOOL(WINAPI* close)(HGESTUREINFO handle);
};

// Fills info (zeroed first, cbSize 48) from the handle. False when the reader fails.
bool ReadGestureInfo(HGESTUREINFO handle, GESTUREINFO& info);

// Closes the handle through the reader. Its result does not matter to any caller.
void CloseGestureInfo(HGESTUREINFO handle);

// Replaces the reader for the whole process and returns the one it replaces; a reader
// with a null function restores the platform's function for it. Tests only: the library
// never replaces it, and a test sets it before the threads it drives run.
GestureReader SetGestureReader(GestureReader reader);

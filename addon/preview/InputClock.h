#pragma once
// The time of the user's last input and the tick count now, for the preview's idle
// timer. Read only through LastInputAge, so that tests can set the clock: under Wine the
// last input is whenever the display last saw the pointer move.
#include <windows.h>

#include <optional>

struct InputClock {
    BOOL(WINAPI* lastInput)(PLASTINPUTINFO info);
    DWORD(WINAPI* tickCount)();
};

// The tick count now and the last input's tick count (GetLastInputInfo, structure size
// 8); none when the last input cannot be read.
struct InputTimes {
    DWORD now = 0;
    DWORD lastInput = 0;
};
std::optional<InputTimes> ReadInputTimes();
// The tick count now, from the same clock.
DWORD TickCountNow();

// Replaces the clock for the whole process and returns the one it replaces; a null
// function restores the platform's. Tests only.
InputClock SetInputClock(InputClock clock);

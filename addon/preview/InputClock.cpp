#include "InputClock.h"

namespace {

InputClock& Current() {
    static InputClock clock{::GetLastInputInfo, ::GetTickCount};
    return clock;
}

}  // namespace

std::optional<InputTimes> ReadInputTimes() {
    LASTINPUTINFO info = {};
    info.cbSize = sizeof info;
    if (!Current().lastInput(&info)) return std::nullopt;
    return InputTimes{Current().tickCount(), info.dwTime};
}

DWORD TickCountNow() { return Current().tickCount(); }

InputClock SetInputClock(InputClock clock) {
    InputClock previous = Current();
    Current().lastInput = clock.lastInput ? clock.lastInput : ::GetLastInputInfo;
    Current().tickCount = clock.tickCount ? clock.tickCount : ::GetTickCount;
    return previous;
}

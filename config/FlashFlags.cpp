#include "FlashFlags.h"

bool IsFlashAllowedByFlags(std::uint32_t flags) { return flags == kFlashAllowedFlags; }

std::uint32_t FlagsForFlashAllowed(bool allow) { return allow ? kFlashAllowedFlags : kFlashKillBit; }

FlashState FlashStateOf(FlashRead read, std::uint32_t flags) {
    switch (read) {
        case FlashRead::Absent: return FlashState::Allowed;
        case FlashRead::Flags: return IsFlashAllowedByFlags(flags) ? FlashState::Allowed : FlashState::Blocked;
        case FlashRead::Unreadable: break;
    }
    return FlashState::Unknown;
}

FlashState CombinedFlashState(const std::vector<FlashState>& states) {
    FlashState combined = FlashState::Allowed;
    for (FlashState state : states) {
        if (state == FlashState::Blocked) return FlashState::Blocked;
        if (state == FlashState::Unknown) combined = FlashState::Unknown;
    }
    return combined;
}

bool FlashSwitchToBeWritten(FlashState shown, int checkAtLoad, int checkNow) {
    return shown != FlashState::Unknown || checkAtLoad != checkNow;
}

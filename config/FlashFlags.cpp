#include "FlashFlags.h"

bool IsFlashAllowedByFlags(std::uint32_t flags) { return flags == kFlashAllowedFlags; }

std::uint32_t FlagsForFlashAllowed(bool allow) { return allow ? kFlashAllowedFlags : kFlashKillBit; }

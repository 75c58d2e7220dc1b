#pragma once
// The browser's per-control compatibility flags, as the Flash switch reads and
// writes them: 0 lets the control load, the kill bit 0x400 keeps it from loading.
#include <cstdint>

inline constexpr std::uint32_t kFlashAllowedFlags = 0;
inline constexpr std::uint32_t kFlashKillBit = 0x400;

// Any non-zero flags block the control, whoever set them.
bool IsFlashAllowedByFlags(std::uint32_t flags);
// The whole value to write: other bits are not kept.
std::uint32_t FlagsForFlashAllowed(bool allow);

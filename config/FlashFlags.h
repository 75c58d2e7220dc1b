#pragma once
// The browser's per-control compatibility flags, as the Flash switch reads and
// writes them: 0 lets the control load, the kill bit 0x400 keeps it from loading.
#include <cstdint>
#include <vector>

inline constexpr std::uint32_t kFlashAllowedFlags = 0;
inline constexpr std::uint32_t kFlashKillBit = 0x400;

// Any non-zero flags block the control, whoever set them.
bool IsFlashAllowedByFlags(std::uint32_t flags);
// The whole value to write: other bits are not kept.
std::uint32_t FlagsForFlashAllowed(bool allow);

// What reading one browser's switch found: no key or value (the browser allows Flash),
// the stored flags, or a key whose permissions refuse reading.
enum class FlashRead { Absent, Flags, Unreadable };
enum class FlashState { Allowed, Blocked, Unknown };
FlashState FlashStateOf(FlashRead read, std::uint32_t flags);
// Every browser's switch in one: blocked when any of them blocks, unknown when none
// blocks but one cannot be read.
FlashState CombinedFlashState(const std::vector<FlashState>& states);

// A switch that could not be read is written only when the user changed the checkbox:
// otherwise the save would set what nobody asked for.
bool FlashSwitchToBeWritten(FlashState shown, int checkAtLoad, int checkNow);

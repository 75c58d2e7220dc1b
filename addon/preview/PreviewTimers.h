#pragma once
// The preview's three timers on its hidden window, and the idle rule of the third.
#include <cstdint>

constexpr std::uintptr_t kShowTimer = 1;    // pinch start: show once the preview page's picture has loaded
constexpr std::uintptr_t kCommitTimer = 2;  // pinch end: hide once the tab reports the new zoom
constexpr std::uintptr_t kIdleTimer = 3;    // construction: hide after a pause in the user's input

constexpr std::uint32_t kShowPeriod = 1;    // milliseconds
constexpr std::uint32_t kCommitPeriod = 1;
constexpr std::uint32_t kIdlePeriod = 10;

constexpr std::uint32_t kIdleHideAfter = 800;  // milliseconds without input

// Whether the time since the last input, as an unsigned 32-bit difference of tick counts
// (so a wrapped tick count still gives the right span), is kIdleHideAfter or more.
constexpr bool IdleLongEnough(std::uint32_t now, std::uint32_t lastInput) {
    return static_cast<std::uint32_t>(now - lastInput) >= kIdleHideAfter;
}

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
// The commit timer gives up after this long: a tab that never reports the zoom it was
// given must not be polled every millisecond for ever.
constexpr std::uint32_t kCommitDeadline = 2000;

// Whether the commit timer has waited kCommitDeadline or more since it started (tick
// counts, as an unsigned 32-bit difference).
constexpr bool CommitTimedOut(std::uint32_t now, std::uint32_t started) {
    return static_cast<std::uint32_t>(now - started) >= kCommitDeadline;
}

// The idle timer has something to do only while the preview may be seen: shown, or
// waiting to be shown. Otherwise it stops, so that an idle tab wakes nobody (ten tabs
// ticking every 10 ms would wake a tablet's processor a thousand times a second).
constexpr bool IdleTimerNeeded(bool shown, bool showPending) { return shown || showPending; }

// Whether the time since the last input, as an unsigned 32-bit difference of tick counts
// (so a wrapped tick count still gives the right span), is kIdleHideAfter or more.
constexpr bool IdleLongEnough(std::uint32_t now, std::uint32_t lastInput) {
    return static_cast<std::uint32_t>(now - lastInput) >= kIdleHideAfter;
}

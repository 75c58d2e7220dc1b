#include "DragScroll.h"

bool IsWithinDragExtent(const ScreenRect& window, std::int32_t x, std::int32_t y) {
    // 64-bit so that an edge near INT32_MIN cannot wrap.
    return std::int64_t{x} <= std::int64_t{window.right} - kScrollBarMargin &&
           std::int64_t{y} <= std::int64_t{window.bottom} - kScrollBarMargin;
}

ClientPoint ClientPointFromLParam(std::uint64_t lParam) {
    return {static_cast<std::int16_t>(lParam & 0xFFFFu), static_cast<std::int16_t>((lParam >> 16) & 0xFFFFu)};
}

DragStep NextDragStep(std::int32_t lastX, std::int32_t lastY, std::int32_t x, std::int32_t y) {
    DragStep step;
    if (lastX == 0 || lastY == 0) return step;
    // Halved in 64 bits, so any pair of points gives a difference that fits; / truncates
    // toward zero.
    step.scroll = true;
    step.dx = static_cast<std::int32_t>((std::int64_t{lastX} - x) / 2);
    step.dy = static_cast<std::int32_t>((std::int64_t{lastY} - y) / 2);
    return step;
}

#include "PinchMath.h"

#include <cmath>
#include <limits>

// Factors and percents are defined in double precision. On the x87 unit a 32-bit build
// would round them at 80 bits, or at the precision that the loading process (the
// browser) set in the control word, and truncation can then give one percent less.
#if defined(__i386__) && !defined(__SSE2_MATH__)
#error "32-bit builds need SSE2 double arithmetic: compile with -msse2 -mfpmath=sse"
#endif

PinchValues StartPinch(std::int32_t tabZoom, std::int32_t minZoom, std::int32_t maxZoom) {
    PinchValues start;
    start.startZoom = tabZoom >= 100 ? static_cast<double>(tabZoom) : 100.0;
    start.scale = 1.0;
    start.upperRatio = (static_cast<double>(maxZoom) - start.startZoom) / start.startZoom + 1;
    start.lowerRatio = 1 - (start.startZoom - static_cast<double>(minZoom)) / start.startZoom;
    return start;
}

std::optional<double> PinchRatio(std::uint16_t distance, std::uint32_t startDistance) {
    if (startDistance == 0) return std::nullopt;
    return static_cast<double>(distance) / static_cast<double>(startDistance);
}

double DampedScale(double ratio, double upperRatio, double lowerRatio, std::int32_t divisor) {
    const double d = static_cast<double>(divisor);
    double x = ratio;
    if (x > upperRatio) x = upperRatio + (x - upperRatio) / d;
    if (x < lowerRatio) x = lowerRatio - (lowerRatio - x) / d;
    return x;
}

std::int32_t TruncatedPercent(double factor, double base) {
    const double product = factor * base;
    if (std::isnan(product)) return 0;
    const double truncated = std::trunc(product);
    if (truncated <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    if (truncated >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(truncated);
}

std::int32_t FinalZoom(const PinchValues& pinch, std::int32_t minZoom, std::int32_t maxZoom) {
    const double reached = pinch.scale * pinch.startZoom;
    double factor = pinch.scale;
    if (static_cast<double>(minZoom) >= reached)
        factor = pinch.lowerRatio;
    else if (static_cast<double>(maxZoom) <= reached)
        factor = pinch.upperRatio;
    std::int32_t zoom = TruncatedPercent(factor, pinch.startZoom);
    if (zoom < minZoom)
        zoom = minZoom;
    else if (zoom > maxZoom)
        zoom = maxZoom;
    return zoom;
}

PinchStep PinchSequence::Next(std::uint32_t flags) {
    if (flags == kGestureBegin) {
        begun_ = true;
        return PinchStep::Begin;
    }
    if (!begun_) return PinchStep::Ignore;
    return flags == kGestureEnd ? PinchStep::End : PinchStep::Update;
}

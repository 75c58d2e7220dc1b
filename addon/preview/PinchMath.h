#pragma once
// The arithmetic of a pinch: the tab's zoom and the configured bounds at the start give
// two ratios; each finger distance gives a factor, damped beyond the bounds; the end
// gives one zoom percent within the bounds. Factors are doubles; a percent is the
// product truncated toward zero.
#include <cstdint>
#include <optional>

// The kinds of zoom gesture message, by the GESTUREINFO flags value taken as a whole.
constexpr std::uint32_t kGestureBegin = 1;  // GF_BEGIN
constexpr std::uint32_t kGestureEnd = 4;    // GF_END

// What a pinch start fixes, and the factor so far.
struct PinchValues {
    double startZoom = 100;   // the tab's zoom, raised to 100 if lower
    double upperRatio = 1;    // maxZoom as a factor of startZoom
    double lowerRatio = 1;    // minZoom as a factor of startZoom
    double scale = 1;         // 1 at the start, then the damped factor of each update
};
PinchValues StartPinch(std::int32_t tabZoom, std::int32_t minZoom, std::int32_t maxZoom);

// The finger distance as a factor of the distance at the start; none when the start
// distance is 0, which would make an infinite or undefined factor.
std::optional<double> PinchRatio(std::uint16_t distance, std::uint32_t startDistance);

// The factor with the part beyond a ratio cut to 1/divisor: first above upperRatio,
// then below lowerRatio; both comparisons strict.
double DampedScale(double ratio, double upperRatio, double lowerRatio, std::int32_t divisor);

// factor x base rounded to a double, then truncated toward zero; values beyond the 32-bit
// range give its nearest end, not undefined behaviour.
std::int32_t TruncatedPercent(double factor, double base = 100);

// The zoom sent to the tab at the pinch end: the factor is lowerRatio when minZoom is
// at least scale x startZoom, else upperRatio when maxZoom is at most that, else scale;
// then truncated and clamped to [minZoom, maxZoom] (the lower bound tested first).
std::int32_t FinalZoom(const PinchValues& pinch, std::int32_t minZoom, std::int32_t maxZoom);

// What one zoom gesture message of a preview object does.
enum class PinchStep {
    Begin,   // GF_BEGIN
    Update,  // any other flags value (0, GF_INERTIA, combinations)
    End,     // GF_END
    Ignore,  // an update or end before the object's first begin: its values are unset
};

// The phases a preview object has seen: an update or an end counts only after a begin.
class PinchSequence {
public:
    PinchStep Next(std::uint32_t flags);
    bool Begun() const { return begun_; }

private:
    bool begun_ = false;
};

// The pinch arithmetic: the ratios fixed at the start, the damped factor of each update,
// the zoom sent at the end, and the phases that a preview object accepts.
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

#include "PinchMath.h"

namespace {

// A pinch as a preview object runs it: start, then each distance as an update, then the end.
struct PinchRun {
    std::vector<std::int32_t> previewZooms;  // the preview control's zoom at each update
    std::int32_t sent = 0;                   // the zoom sent to the tab at the end
    PinchValues values;
};

PinchRun RunPinch(std::int32_t tabZoom, std::int32_t minZoom, std::int32_t maxZoom, std::uint16_t startDistance,
                  const std::vector<std::uint16_t>& distances) {
    PinchRun run;
    run.values = StartPinch(tabZoom, minZoom, maxZoom);
    for (std::uint16_t d : distances) {
        std::optional<double> ratio = PinchRatio(d, startDistance);
        if (!ratio) continue;
        run.values.scale = DampedScale(*ratio, run.values.upperRatio, run.values.lowerRatio, 10);
        run.previewZooms.push_back(TruncatedPercent(run.values.scale));
    }
    run.sent = FinalZoom(run.values, minZoom, maxZoom);
    return run;
}

struct PinchCase {
    const char* what;
    std::int32_t tabZoom;
    std::uint16_t from;
    std::vector<std::uint16_t> to;
    std::vector<std::int32_t> previewZooms;
    std::int32_t sent;
};

}  // namespace

TEST(PinchMath, TheExamplesWithBounds100And300) {
    const PinchCase cases[] = {
        {"spread 200 to 500 at 100 %", 100, 200, {500}, {250}, 250},
        {"spread 200 to 800 is damped beyond 300 %", 100, 200, {800}, {310}, 300},
        {"pinch 200 to 100 is damped below 100 %", 100, 200, {100}, {95}, 100},
        {"factor 1.5 at 150 %", 150, 200, {300}, {150}, 225},
        {"a tab below 100 % starts at 100", 80, 200, {200}, {100}, 100},
        {"no update sends the start zoom", 100, 200, {}, {}, 100},
        {"a tab above the maximum shows below 100 % at once", 400, 200, {200}, {77}, 300},
    };
    for (const PinchCase& c : cases) {
        PinchRun run = RunPinch(c.tabZoom, 100, 300, c.from, c.to);
        EXPECT_EQ(run.previewZooms, c.previewZooms) << c.what;
        EXPECT_EQ(run.sent, c.sent) << c.what;
    }
}

TEST(PinchMath, TheStartRaisesTheTabZoomTo100AndExpressesTheBoundsAsFactors) {
    struct {
        std::int32_t tab;
        double startZoom, upper, lower;
    } const cases[] = {
        {100, 100, 3.0, 1.0},
        {150, 150, 2.0, 1 - 50.0 / 150},
        {80, 100, 3.0, 1.0},
        {400, 400, 0.75, 0.25},
    };
    for (const auto& c : cases) {
        PinchValues v = StartPinch(c.tab, 100, 300);
        EXPECT_DOUBLE_EQ(v.startZoom, c.startZoom) << c.tab;
        EXPECT_DOUBLE_EQ(v.upperRatio, c.upper) << c.tab;
        EXPECT_DOUBLE_EQ(v.lowerRatio, c.lower) << c.tab;
        EXPECT_EQ(v.scale, 1.0) << c.tab;
    }
}

TEST(PinchMath, DampingCutsOnlyThePartBeyondABoundToATenth) {
    struct {
        double ratio, expected;
    } const cases[] = {
        {2.0, 2.0},     // within the bounds: unchanged
        {3.0, 3.0},     // at the upper bound: the comparison is strict
        {1.0, 1.0},     // at the lower bound
        {5.0, 3.2},     // 3 + 2 / 10
        {0.0, 0.9},     // 1 - 1 / 10
        {0.5, 0.95},
    };
    for (const auto& c : cases) EXPECT_DOUBLE_EQ(DampedScale(c.ratio, 3.0, 1.0, 10), c.expected) << c.ratio;
}

TEST(PinchMath, TheEndTestsTheLowerBoundFirst) {
    // Bounds crossed over (min 300, max 100) at 200 %: both factors apply; the lower one
    // gives 300, which the clamp then brings to 100 (the upper one would give 100 and then 300).
    PinchValues v = StartPinch(200, 300, 100);
    EXPECT_EQ(FinalZoom(v, 300, 100), 100);
}

TEST(PinchMath, PercentsTruncateTowardZeroAndSaturate) {
    EXPECT_EQ(TruncatedPercent(2.999), 299);
    EXPECT_EQ(TruncatedPercent(-0.019), -1);
    EXPECT_EQ(TruncatedPercent(1.5, 150), 225);
    EXPECT_EQ(TruncatedPercent(1e12), std::numeric_limits<std::int32_t>::max());
    EXPECT_EQ(TruncatedPercent(-1e12), std::numeric_limits<std::int32_t>::min());
    EXPECT_EQ(TruncatedPercent(std::numeric_limits<double>::infinity(), 0), 0);  // no number
}

TEST(PinchMath, AStartDistanceOf0GivesNoFactor) {
    EXPECT_FALSE(PinchRatio(300, 0).has_value());
    EXPECT_FALSE(PinchRatio(0, 0).has_value());
    EXPECT_DOUBLE_EQ(*PinchRatio(300, 200), 1.5);
    EXPECT_DOUBLE_EQ(*PinchRatio(65535, 1), 65535.0);
}

TEST(PinchMath, AZeroStartDistanceLeavesTheStartZoomToBeSent) {
    PinchRun run = RunPinch(150, 100, 300, 0, {400, 800});
    EXPECT_TRUE(run.previewZooms.empty());
    EXPECT_EQ(run.sent, 150);
}

TEST(PinchSequence, UpdatesAndEndsCountOnlyAfterABegin) {
    struct {
        std::vector<std::uint32_t> flags;
        std::vector<PinchStep> steps;
    } const cases[] = {
        {{0, 4}, {PinchStep::Ignore, PinchStep::Ignore}},
        {{1, 0, 2, 4}, {PinchStep::Begin, PinchStep::Update, PinchStep::Update, PinchStep::End}},
        {{4, 1, 4, 0}, {PinchStep::Ignore, PinchStep::Begin, PinchStep::End, PinchStep::Update}},
        {{1, 5, 1}, {PinchStep::Begin, PinchStep::Update, PinchStep::Begin}},  // flags compared whole
    };
    for (const auto& c : cases) {
        PinchSequence sequence;
        std::vector<PinchStep> steps;
        for (std::uint32_t f : c.flags) steps.push_back(sequence.Next(f));
        EXPECT_EQ(steps, c.steps);
    }
}

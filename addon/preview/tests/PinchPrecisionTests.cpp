// The pinch arithmetic inside a process that has set the x87 precision control its own
// way, as a browser may: the add-on's percents stay those of double precision.
#include <float.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "PinchMath.h"

namespace {

// Sets the x87 precision control while it lives and restores the whole control word after.
// Only 32-bit code can compute doubles on the x87; x64 doubles are SSE2 by the ABI, and its
// runtime refuses the precision control, so there it changes nothing.
class X87Precision {
public:
    explicit X87Precision(unsigned int precision) {
#if defined(__i386__)
        _controlfp_s(&saved_, 0, 0);
        unsigned int now = 0;
        set_ = _controlfp_s(&now, precision, _MCW_PC) == 0 && (now & _MCW_PC) == precision;
#else
        (void)precision;
        set_ = true;
#endif
    }
    ~X87Precision() {
#if defined(__i386__)
        unsigned int now = 0;
        _controlfp_s(&now, saved_, _MCW_PC);
#endif
    }
    X87Precision(const X87Precision&) = delete;
    X87Precision& operator=(const X87Precision&) = delete;
    bool Set() const { return set_; }

private:
    unsigned int saved_ = 0;
    bool set_ = false;
};

struct PinchResult {
    std::int32_t preview;  // the preview's zoom after the update, -1 without one
    std::int32_t sent;
};

PinchResult Pinch(std::int32_t tabZoom, std::int32_t minZoom, std::int32_t maxZoom, std::uint16_t from,
                  std::optional<std::uint16_t> to) {
    PinchValues values = StartPinch(tabZoom, minZoom, maxZoom);
    PinchResult result{-1, 0};
    if (to) {
        values.scale = DampedScale(*PinchRatio(*to, from), values.upperRatio, values.lowerRatio, 10);
        result.preview = TruncatedPercent(values.scale);
    }
    result.sent = FinalZoom(values, minZoom, maxZoom);
    return result;
}

}  // namespace

TEST(PinchPrecision, PercentsAreThoseOfDoublePrecisionWhateverTheX87PrecisionControl) {
    struct {
        const char* what;
        std::int32_t tab, minZoom, maxZoom;
        std::uint16_t from;
        std::optional<std::uint16_t> to;
        PinchResult expected;
    } const cases[] = {
        {"spread 200 to 500", 100, 100, 300, 200, 500, {250, 250}},
        {"spread beyond the maximum is damped", 100, 100, 300, 200, 800, {310, 300}},
        {"pinch 200 to 100 shows 0.95 as 95", 100, 100, 300, 200, 100, {95, 100}},
        {"factor 1.5 at 150 %", 150, 100, 300, 200, 300, {150, 225}},
        {"a tab above the maximum", 400, 100, 300, 200, 200, {77, 300}},
        {"a tab at 837 % ends at 499 below 500", 837, 199, 500, 200, std::nullopt, {-1, 499}},
        {"a tab at 837 % after an update", 837, 199, 500, 200, 200, {63, 499}},
    };
    const struct {
        const char* name;
        unsigned int control;
    } precisions[] = {{"64-bit", _PC_64}, {"24-bit", _PC_24}, {"53-bit", _PC_53}};
    for (const auto& precision : precisions) {
        X87Precision set(precision.control);
        ASSERT_TRUE(set.Set()) << precision.name;
        for (const auto& c : cases) {
            PinchResult got = Pinch(c.tab, c.minZoom, c.maxZoom, c.from, c.to);
            EXPECT_EQ(got.preview, c.expected.preview) << precision.name << ": " << c.what;
            EXPECT_EQ(got.sent, c.expected.sent) << precision.name << ": " << c.what;
        }
    }
}

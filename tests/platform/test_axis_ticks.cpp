// The round values a graph axis labels: the scope's own axes, zoomed ranges, short axes,
// negative and fractional ranges, and ranges that give nothing to draw.
#include "platform/calc/axis_ticks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

TEST(AxisTicks, RoundStepsThatFitTheAxis) {
    struct {
        const char *what;
        double lo, hi;
        int pixels, spacing;
        std::vector<double> ticks;
    } const cases[] = {
        {"scope x axis, 534 px", 0, 128, 534, 50, {0, 20, 40, 60, 80, 100, 120}},
        {"scope y axis, 272 px",
         0,
         4100,
         272,
         20,
         {0, 500, 1000, 1500, 2000, 2500, 3000, 3500, 4000}},
        {"digital bands, 104 px", 0, 8, 104, 20, {0, 2, 4, 6, 8}},
        {"digital bands, tall", 0, 8, 200, 20, {0, 1, 2, 3, 4, 5, 6, 7, 8}},
        {"zoomed x, not from 0", 30.4, 59.7, 534, 50, {35, 40, 45, 50, 55}},
        {"short axis keeps two divisions", 0, 100, 30, 50, {0, 50, 100}},
        {"negative to positive", -3, 7, 500, 50, {-3, -2, -1, 0, 1, 2, 3, 4, 5, 6, 7}},
        {"fractions without drift",
         0,
         1,
         500,
         50,
         {0, 0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        std::vector<double> got = AxisTicks(c.lo, c.hi, c.pixels, c.spacing);
        ASSERT_EQ(got.size(), c.ticks.size());
        for (size_t i = 0; i < got.size(); ++i)
            EXPECT_DOUBLE_EQ(got[i], c.ticks[i]) << i;
    }
}

TEST(AxisTicks, ZeroIsExactlyZero) {
    // -0.3 + 3 * 0.1 is not 0 in floating point; the label must read "0", not "-5.55e-17".
    std::vector<double> got = AxisTicks(-0.3, 0.3, 600, 50);
    ASSERT_FALSE(got.empty());
    bool zero = false;
    for (double t : got)
        if (t == 0.0) zero = !std::signbit(t);
    EXPECT_TRUE(zero);
}

TEST(AxisTicks, RangesWithNothingToDrawGiveNoValues) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct {
        double lo, hi;
    } const cases[] = {{5, 5}, {8, 0}, {nan, 1}, {0, nan}, {0, inf}, {-inf, 0}, {-1e308, 1e308}};
    for (const auto &c : cases)
        EXPECT_TRUE(AxisTicks(c.lo, c.hi, 500, 50).empty()) << c.lo << ".." << c.hi;
}

TEST(AxisTicks, HugeValuesWithASmallSpanStayBounded) {
    // Far from zero the next double is 16 away, so a step of 2 no longer changes a value; the
    // count must still end.
    double hi = std::nextafter(1e17, 2e17);
    std::vector<double> got = AxisTicks(1e17, hi, 500, 50);
    EXPECT_LE(got.size(), 11u);
    EXPECT_GE(got.size(), 1u);
}

} // namespace

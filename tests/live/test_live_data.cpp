// The live data reply decoded from its bytes, the output bits, the positions on the period
// graph (with counts too large for 32-bit arithmetic) and what the graph draws from them.
#include "live/calc/live_data.h"

#include "protocol/frame.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

using Bytes = std::array<u8, kLiveDataSize>;

Bytes Encode(const LiveDataRec &d) {
    Bytes b{};
    putU32(&b[0], d.CntPeriod);
    putU32(&b[4], d.CntGap);
    putU32(&b[8], d.CntStroke);
    putU32(&b[12], d.LowerTolLimit);
    putU32(&b[16], d.UpperTolLimit);
    putU16(&b[20], d.BadCntLower);
    putU16(&b[22], d.BadCntUpper);
    putU32(&b[24], d.OutputBits);
    return b;
}

LiveDataRec Live(u32 period, u32 gap, u32 stroke, u32 lower, u32 upper) {
    LiveDataRec d{};
    d.CntPeriod = period;
    d.CntGap = gap;
    d.CntStroke = stroke;
    d.LowerTolLimit = lower;
    d.UpperTolLimit = upper;
    return d;
}

TEST(LiveDecode, EveryFieldAtItsOffsetLittleEndian) {
    // Distinct byte patterns in every field, so a shifted offset or a swapped byte order shows.
    const Bytes b = {0x01, 0x02, 0x03, 0x04, 0x11, 0x12, 0x13, 0x14, 0x21, 0x22,
                     0x23, 0x24, 0x31, 0x32, 0x33, 0x34, 0x41, 0x42, 0x43, 0x44,
                     0x02, 0x00, 0x03, 0x00, 0x0A, 0x00, 0x00, 0x80};
    const LiveDataRec d = DecodeLiveData(b.data());
    EXPECT_EQ(d.CntPeriod, 0x04030201u);
    EXPECT_EQ(d.CntGap, 0x14131211u);
    EXPECT_EQ(d.CntStroke, 0x24232221u);
    EXPECT_EQ(d.LowerTolLimit, 0x34333231u);
    EXPECT_EQ(d.UpperTolLimit, 0x44434241u);
    EXPECT_EQ(d.BadCntLower, 2); // bytes 02 00 03 00 at offset 20
    EXPECT_EQ(d.BadCntUpper, 3);
    EXPECT_EQ(d.OutputBits, 0x8000000Au);
}

TEST(LiveDecode, ShortReplyReadsZeroWhereTheClearedBufferHasNoData) {
    // A reply of 12 data bytes into a cleared buffer: the fields it did not carry are 0.
    Bytes b{};
    putU32(&b[0], 20000);
    putU32(&b[4], 5000);
    putU32(&b[8], 12345);
    const LiveDataRec d = DecodeLiveData(b.data());
    EXPECT_EQ(d.CntPeriod, 20000u);
    EXPECT_EQ(d.CntStroke, 12345u);
    EXPECT_EQ(d.LowerTolLimit, 0u);
    EXPECT_EQ(d.UpperTolLimit, 0u);
    EXPECT_EQ(d.BadCntLower, 0);
    EXPECT_EQ(d.BadCntUpper, 0);
    EXPECT_EQ(d.OutputBits, 0u);
}

TEST(LiveDecode, RoundTripOfExtremeValues) {
    LiveDataRec d = Live(0xFFFFFFFF, 0, 0x80000000, 1, 0xFFFFFFFE);
    d.BadCntLower = 0xFFFF;
    d.BadCntUpper = 0x8001;
    d.OutputBits = 0xFFFFFFFF;
    const Bytes b = Encode(d);
    const LiveDataRec r = DecodeLiveData(b.data());
    EXPECT_EQ(r.CntPeriod, d.CntPeriod);
    EXPECT_EQ(r.CntStroke, d.CntStroke);
    EXPECT_EQ(r.UpperTolLimit, d.UpperTolLimit);
    EXPECT_EQ(r.BadCntLower, 0xFFFF);
    EXPECT_EQ(r.BadCntUpper, 0x8001);
    EXPECT_EQ(r.OutputBits, 0xFFFFFFFFu);
}

TEST(LiveOutputs, OnlyTheLowFourBitsLightTheirLeds) {
    struct Case {
        u32 bits;
        int leds[4];
    };
    const Case cases[] = {
        {0x0A, {0, 1, 0, 1}},       {0x05, {1, 0, 1, 0}},
        {0x0F, {1, 1, 1, 1}},       {0xFFFFFFF0, {0, 0, 0, 0}}, // bits above 3 change nothing
        {0xFFFFFFFA, {0, 1, 0, 1}}, {0, {0, 0, 0, 0}},
    };
    for (const Case &c : cases)
        for (int out = 0; out < 4; ++out)
            EXPECT_EQ(OutputLed(c.bits, out), c.leds[out]) << "bits " << c.bits << " OUT" << out;
}

TEST(LivePositions, ScaledToAPeriodOfOneThousandTruncated) {
    struct Case {
        const char *what;
        LiveDataRec live;
        GraphPositions want;
    };
    const Case cases[] = {
        {"press example", Live(20000, 5000, 12345, 11000, 14000), {250, 617, 550, 700}},
        {"period 0", Live(0, 5000, 12345, 11000, 14000), {0, 0, 0, 0}},
        {"counts equal to the period", Live(777, 777, 777, 777, 777), {1000, 1000, 1000, 1000}},
        {"counts beyond the period", Live(1000, 2000, 1001, 0, 5000), {2000, 1001, 0, 5000}},
        // A 20 s period: every count times 1000 is above 2^32. In 32 bits the gap would read
        // 35, the stroke 187 and the window 550..700 would read 120..55.
        {"period over 4.3 s",
         Live(20000000, 5000000, 12345000, 11000000, 14000000),
         {250, 617, 550, 700}},
        {"largest counts", Live(0xFFFFFFFF, 0xFFFFFFFF, 0x7FFFFFFF, 0, 1), {1000, 499, 0, 0}},
        // 4 294 968 x 1000 wraps in 32 bits to 704: counts far beyond a period of 1 would have
        // looked like 70 % of it and been drawn.
        {"count just past the 32-bit limit",
         Live(1, 4294968, 4294968, 4294968, 4294968),
         {4294968000ull, 4294968000ull, 4294968000ull, 4294968000ull}},
        {"period 1, count at its maximum",
         Live(1, 0xFFFFFFFF, 0, 0, 0),
         {4294967295000ull, 0, 0, 0}},
    };
    for (const Case &c : cases) {
        const GraphPositions p = NormalisedPositions(c.live);
        EXPECT_EQ(p.gap, c.want.gap) << c.what;
        EXPECT_EQ(p.stroke, c.want.stroke) << c.what;
        EXPECT_EQ(p.lower, c.want.lower) << c.what;
        EXPECT_EQ(p.upper, c.want.upper) << c.what;
    }
}

TEST(LivePositions, SameAsThirtyTwoBitArithmeticWhereThatDidNotWrap) {
    // Counts up to 4 294 967 never wrapped; the 64-bit result must be the very same there.
    const u32 periods[] = {1, 3, 999, 20000, 65537, 1000003, 4294967};
    const u32 counts[] = {0, 1, 2, 500, 19999, 20000, 123457, 4294967};
    for (u32 period : periods)
        for (u32 count : counts) {
            const u32 narrow = count * 1000u / period;
            const GraphPositions p = NormalisedPositions(Live(period, count, count, count, count));
            EXPECT_EQ(p.gap, narrow) << count << " / " << period;
            EXPECT_EQ(p.upper, narrow) << count << " / " << period;
        }
}

void ExpectRect(const GraphRect &r, double x1, double y1, double x2, double y2, const char *what) {
    EXPECT_DOUBLE_EQ(r.x1, x1) << what;
    EXPECT_DOUBLE_EQ(r.y1, y1) << what;
    EXPECT_DOUBLE_EQ(r.x2, x2) << what;
    EXPECT_DOUBLE_EQ(r.y2, y2) << what;
}

TEST(LiveGraphPaper, AreasAndCursorFromThePositions) {
    const GraphPaperLayout g = LayoutGraphPaper({250, 617, 550, 700});
    ExpectRect(g.gapArea, 0, 0, 250, 5, "gap area");
    EXPECT_DOUBLE_EQ(g.strokeX, 617);
    EXPECT_DOUBLE_EQ(g.strokeY, 1);
    ExpectRect(g.window, 700, 5, 550, 10, "window from upper to lower");
}

TEST(LiveGraphPaper, PeriodZeroShrinksBothAreasToXZero) {
    const GraphPaperLayout g = LayoutGraphPaper(NormalisedPositions(Live(0, 1, 2, 3, 4)));
    ExpectRect(g.gapArea, 0, 0, 0, 5, "gap area");
    EXPECT_DOUBLE_EQ(g.strokeX, 0);
    ExpectRect(g.window, 0, 5, 0, 10, "window");
}

TEST(LiveGraphPaper, PositionsBeyondThePeriodAreNotDrawn) {
    struct Case {
        const char *what;
        GraphPositions p;
        GraphRect gap;
        double cursor;
        GraphRect window;
    };
    const Case cases[] = {
        {"all at the period's end",
         {1000, 1000, 1000, 1000},
         {0, 0, 1000, 5},
         1000,
         {1000, 5, 1000, 10}},
        {"gap beyond", {1001, 500, 400, 600}, {0, 0, 0, 0}, 500, {600, 5, 400, 10}},
        {"stroke beyond", {250, 1001, 400, 600}, {0, 0, 250, 5}, 1000, {600, 5, 400, 10}},
        {"lower limit beyond", {250, 500, 1001, 600}, {0, 0, 250, 5}, 500, {0, 0, 0, 0}},
        {"upper limit beyond", {250, 500, 400, 1001}, {0, 0, 250, 5}, 500, {0, 0, 0, 0}},
        {"far beyond 32 bits",
         {4294967295000ull, 4294968, 0, 4294968},
         {0, 0, 0, 0},
         1000,
         {0, 0, 0, 0}},
    };
    for (const Case &c : cases) {
        const GraphPaperLayout g = LayoutGraphPaper(c.p);
        ExpectRect(g.gapArea, c.gap.x1, c.gap.y1, c.gap.x2, c.gap.y2, c.what);
        EXPECT_DOUBLE_EQ(g.strokeX, c.cursor) << c.what;
        EXPECT_DOUBLE_EQ(g.strokeY, 1) << c.what;
        ExpectRect(g.window, c.window.x1, c.window.y1, c.window.x2, c.window.y2, c.what);
    }
}

} // namespace

// The scope's arithmetic without widgets: record decoding in ring order and around the
// trigger, the scan frequency from the cycle-time reply, the cursor deltas and the decimal
// places of the displays.
#include "scope/calc/scope_calc.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>

namespace {

using Record = std::array<std::uint8_t, kScopeRecordSize>;

void PutWord(Record &r, int offset, std::uint16_t w) {
    r[offset] = w & 0xFF;
    r[offset + 1] = w >> 8;
}

// Ring sample k has the analog value 1000 + k, so the value tells its ring position.
Record NumberedRecord(std::uint16_t triggerIndex) {
    Record r{};
    for (int k = 0; k < kScopeSamples; ++k)
        PutWord(r, 2 * k, std::uint16_t(1000 + k));
    PutWord(r, 2 * kScopeSamples, triggerIndex);
    return r;
}

struct StartCase {
    const char *what;
    int mode, preTrigger;
    std::uint16_t triggerIndex;
    int firstRingPosition;
};

class DecodeStart : public ::testing::TestWithParam<StartCase> {};

TEST_P(DecodeStart, TracesStartAtTheRightRingPosition) {
    const StartCase &c = GetParam();
    Record r = NumberedRecord(c.triggerIndex);
    ScopeTraces t{};
    DecodeScopeRecord(r.data(), c.mode, c.preTrigger, &t);
    for (int i = 0; i < kScopeSamples; ++i)
        ASSERT_EQ(t.analog[i], 1000 + ((c.firstRingPosition + i) % kScopeSamples))
            << c.what << ", display index " << i;
    if (c.mode != 0) {
        int at = ((c.preTrigger % 128) + 128) % 128;
        EXPECT_EQ(t.analog[at], 1000 + c.triggerIndex % 128) << c.what << ": trigger sample";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Modes, DecodeStart,
    ::testing::Values(StartCase{"single shot ignores trigger and pre-trigger", 0, 20, 77, 0},
                      StartCase{"rising edge, no pre-trigger: trigger first", 1, 0, 77, 77},
                      StartCase{"falling edge, pre-trigger 20", 2, 20, 77, 57},
                      StartCase{"OUT0, start wraps below ring position 0", 3, 20, 5, 113},
                      StartCase{"IN0, trigger at the last ring position", 4, 0, 127, 127},
                      StartCase{"pre-trigger 130 wraps to 2", 1, 130, 77, 75},
                      StartCase{"pre-trigger 128 acts like 0", 1, 128, 40, 40},
                      StartCase{"negative pre-trigger -3 wraps to 125", 2, -3, 77, 80},
                      StartCase{"pre-trigger -32768", 1, -32768, 0, 0},
                      StartCase{"trigger index above 127 is taken modulo 128", 4, 20, 77 + 128, 57},
                      StartCase{"trigger index 65535", 1, 0, 65535, 127}),
    [](const auto &info) { return "case" + std::to_string(info.index); });

TEST(DecodeRecord, SplitsEachWordIntoAnalogValueAndFourBands) {
    // Single shot keeps ring order, so display index = ring position. The bands stack A over
    // B over C over D: A 9/10, B 6/7, C 3/4, D 0/1.
    struct {
        std::uint16_t word;
        std::uint16_t analog, a, b, c, d;
    } const cases[] = {
        {0x0000, 0, 9, 6, 3, 0},     {0x0FFF, 4095, 9, 6, 3, 0},  {0x1000, 0, 10, 6, 3, 0},
        {0x2000, 0, 9, 7, 3, 0},     {0x4000, 0, 9, 6, 4, 0},     {0x8000, 0, 9, 6, 3, 1},
        {0xFFFF, 4095, 10, 7, 4, 1}, {0xA123, 0x123, 9, 7, 3, 1},
    };
    Record r{};
    int n = 0;
    for (const auto &c : cases)
        PutWord(r, 2 * n++, c.word);
    PutWord(r, 2 * kScopeSamples, 99); // ignored in single shot
    ScopeTraces t{};
    DecodeScopeRecord(r.data(), 0, 0, &t);
    n = 0;
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "word 0x" << std::hex << c.word);
        EXPECT_EQ(t.analog[n], c.analog);
        EXPECT_EQ(t.digital[DigitalLineA][n], c.a);
        EXPECT_EQ(t.digital[DigitalLineB][n], c.b);
        EXPECT_EQ(t.digital[DigitalLineC][n], c.c);
        EXPECT_EQ(t.digital[DigitalLineD][n], c.d);
        ++n;
    }
}

std::array<std::uint8_t, 8> CycleReply(std::int32_t n0, std::int32_t n1) {
    std::array<std::uint8_t, 8> d{};
    for (int i = 0; i < 4; ++i) {
        d[i] = std::uint32_t(n0) >> (8 * i) & 0xFF;
        d[4 + i] = std::uint32_t(n1) >> (8 * i) & 0xFF;
    }
    return d;
}

TEST(CycleTime, FrequencyFromReplyAndDisplayDecimals) {
    struct {
        std::int32_t n0, n1;
        double hz;
        int freqDecimals, cycleDecimals;
    } const cases[] = {
        {12000, 10000, 12000.0, 0, 6},       // 1 s of counts: 12 kHz, cycle 0.083333 ms
        {5, 10000, 5.0, 1, 3},               // 5 Hz, cycle 200 ms
        {100000, 70000, 100000 / 7.0, 0, 6}, // both values use their upper bytes
        {1000, 10000, 1000.0, 1, 3},         // exactly 1000 Hz still 1 decimal
        {10000, 10000, 10000.0, 0, 3},       // exactly 10000 Hz: cycle time 3 decimals
        {1, 10000, 1.0, 2, 0},               // exactly 1 Hz
        {1, 20000, 0.5, 2, 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << "N0 " << c.n0 << ", N1 " << c.n1);
        auto d = CycleReply(c.n0, c.n1);
        double f = ScanFrequencyFromReply(d.data());
        EXPECT_DOUBLE_EQ(f, c.hz);
        EXPECT_EQ(ScanFreqPrecision(f), c.freqDecimals);
        EXPECT_EQ(CycleTimePrecision(f), c.cycleDecimals);
    }
    EXPECT_NEAR(1000 / ScanFrequencyFromReply(CycleReply(12000, 10000).data()), 0.083333, 1e-6);
}

TEST(CycleTime, RepliesWithoutAUsableFrequencyCountAsFailed) {
    EXPECT_EQ(ScanFrequencyFromReply(CycleReply(12000, 0).data()), 0) << "N1 of 0";
    EXPECT_EQ(ScanFrequencyFromReply(CycleReply(0, 0).data()), 0);
    EXPECT_EQ(ScanFrequencyFromReply(CycleReply(0, 10000).data()), 0);
    EXPECT_EQ(ScanFrequencyFromReply(CycleReply(-5, 10000).data()), 0) << "negative count";
    EXPECT_EQ(ScanFrequencyFromReply(CycleReply(5, -10000).data()), 0) << "negative time";
    // Frequencies the displays cannot show: above 1 GHz the frequency display ends and the cycle
    // time reads 0.000000 ms; below 0.01 Hz the frequency reads 0.00.
    EXPECT_EQ(ScanFrequencyFromReply(CycleReply(2147483647, 1).data()), 0);
    EXPECT_EQ(ScanFrequencyFromReply(CycleReply(100001, 1).data()), 0);
    EXPECT_EQ(ScanFrequencyFromReply(CycleReply(100000, 1).data()), 1e9) << "the highest shown";
    EXPECT_EQ(ScanFrequencyFromReply(CycleReply(1, 1000000).data()), 0.01) << "the lowest shown";
    EXPECT_EQ(ScanFrequencyFromReply(CycleReply(1, 1000001).data()), 0);
    EXPECT_EQ(ScanFrequencyFromReply(CycleReply(1, 2147483647).data()), 0);
    // The failed value still picks the display decimals of the lowest range.
    EXPECT_EQ(ScanFreqPrecision(0), 2);
    EXPECT_EQ(CycleTimePrecision(0), 0);
}

TEST(CursorDelta, SamplesDigitsAndTime) {
    struct {
        double x1, y1, x2, y2, cycleTime;
        int scanRate;
        int samples, digits;
        double ms;
    } const cases[] = {
        {10.9, 0, 3.2, 0, 0.5, 4, 7, 0, 14.0}, // 7.7 truncates to 7, not 8
        {3.2, 0, 10.9, 0, 0.5, 4, 7, 0, 14.0}, // swapped cursors
        {0, 100.9, 0, 50.2, 0.5, 4, 0, 50, 0}, // each y truncated first
        {0, 50.2, 0, 100.9, 0.5, 4, 0, 50, 0},
        {0, -0.9, 0, 0.9, 1, 1, 0, 0, 0}, // truncation towards zero, not down
        {-2.5, 0, 2.5, 0, 1, 1, 5, 0, 5},
        {10.9, 4095, 3.2, 0, 0, 4, 7, 4095, 0}, // cycle time never fetched
        {127, 0, 0, 0, 0.083333, 1, 127, 0, 127 * 0.083333},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message()
                     << "(" << c.x1 << ", " << c.y1 << ") (" << c.x2 << ", " << c.y2 << ")");
        int n = CursorDeltaSamples(c.x1, c.x2);
        EXPECT_EQ(n, c.samples);
        EXPECT_EQ(CursorDeltaDigits(c.y1, c.y2), c.digits);
        EXPECT_DOUBLE_EQ(CursorDeltaTime(n, c.cycleTime, c.scanRate), c.ms);
    }
}

TEST(CursorDelta, CursorsFarOffTheAxisStayWithinTheIntegerRange) {
    EXPECT_EQ(CursorDeltaSamples(1e12, -1e12), 2147483647);
    EXPECT_EQ(CursorDeltaSamples(-1e12, 1e12), 2147483647);
    EXPECT_EQ(CursorDeltaDigits(3e9, -3e9), 2147483647);
    EXPECT_EQ(CursorDeltaSamples(0.0 / 0.0, 5), 0);
}

TEST(CursorDelta, DecimalPlacesOfDeltaX) {
    struct {
        double dx;
        int decimals;
    } const cases[] = {{0, 6},  {0.5, 6},  {1, 6},      {1.0001, 3},
                       {14, 3}, {1000, 3}, {1000.5, 0}, {123456, 0}};
    for (const auto &c : cases)
        EXPECT_EQ(DeltaXPrecision(c.dx), c.decimals) << c.dx;
}

TEST(CursorSnap, CursorsLandOnWholeSamplesOfTheTraceAndStayInsideTheRecord) {
    // The analog value of sample i is 10 * i, so y tells which sample a cursor sits on.
    std::uint16_t trace[kScopeSamples];
    for (int i = 0; i < kScopeSamples; ++i)
        trace[i] = std::uint16_t(10 * i);
    struct {
        const char *what;
        double x1, y1, x2, y2; // where the operator let go of the two cursors
        double sx1, sx2;       // the samples they land on
        int samples, digits;   // the deltas of the landed cursors
    } const cases[] = {
        {"on samples 20 and 75 up to a hair", 20.06, 1234, 74.99, 50, 20, 75, 55, 550},
        {"between samples: to the nearer one", 33.4, 0, 33.6, 4000, 33, 34, 1, 10},
        {"half way rounds up", 9.5, 0, 0.5, 0, 10, 1, 9, 90},
        {"past the right edge", 180.78, 2578, 127.2, 0, 127, 127, 0, 0},
        {"past the left edge", -12, 100, 64, 100, 0, 64, 64, 640},
        {"both outside, either side", -0.6, 0, 1e9, 0, 0, 127, 127, 1270},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        CursorPoint p1 = SnapCursorToTrace(trace, kScopeSamples, c.x1, c.y1);
        CursorPoint p2 = SnapCursorToTrace(trace, kScopeSamples, c.x2, c.y2);
        EXPECT_EQ(p1.x, c.sx1);
        EXPECT_EQ(p2.x, c.sx2);
        EXPECT_EQ(p1.y, 10 * c.sx1);
        EXPECT_EQ(p2.y, 10 * c.sx2);
        EXPECT_EQ(CursorDeltaSamples(p1.x, p2.x), c.samples);
        EXPECT_EQ(CursorDeltaDigits(p1.y, p2.y), c.digits);
    }
}

TEST(CursorSnap, WithoutATraceOnlyXIsMadeWholeAndKeptInsideTheRecord) {
    struct {
        double x, y, sx;
    } const cases[] = {{20.4, 1234.5, 20}, {-3, 7, 0}, {128.2, 4000, 127}, {NAN, 5, 0}};
    for (const auto &c : cases) {
        CursorPoint p = SnapCursorToTrace(nullptr, 0, c.x, c.y);
        EXPECT_EQ(p.x, c.sx) << c.x;
        EXPECT_EQ(p.y, c.y) << c.x;
    }
}

} // namespace

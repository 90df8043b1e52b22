// Decoding the 28-byte live data reply and placing its values on the period graph.
#include "live/calc/live_data.h"

#include "protocol/frame.h"

namespace {

constexpr double kLowerBandTop = 5.0;  // the gap area fills y 0..5
constexpr double kUpperBandTop = 10.0; // the tolerance window fills y 5..10
constexpr double kCursorY = 1.0;
constexpr GraphRect kNoArea = {0, 0, 0, 0};

std::uint64_t Scale(u32 count, u32 period) {
    return std::uint64_t(count) * kPeriodScale / period;
}

} // namespace

LiveDataRec DecodeLiveData(const u8 *data) {
    LiveDataRec d;
    d.CntPeriod = getU32(data + 0);
    d.CntGap = getU32(data + 4);
    d.CntStroke = getU32(data + 8);
    d.LowerTolLimit = getU32(data + 12);
    d.UpperTolLimit = getU32(data + 16);
    d.BadCntLower = getU16(data + 20);
    d.BadCntUpper = getU16(data + 22);
    d.OutputBits = getU32(data + 24);
    return d;
}

int OutputLed(u32 outputBits, int out) {
    if (out < 0 || out > 3) return 0;
    return int((outputBits >> out) & 1u);
}

GraphPositions NormalisedPositions(const LiveDataRec &live) {
    if (live.CntPeriod == 0) return {0, 0, 0, 0};
    return {Scale(live.CntGap, live.CntPeriod), Scale(live.CntStroke, live.CntPeriod),
            Scale(live.LowerTolLimit, live.CntPeriod), Scale(live.UpperTolLimit, live.CntPeriod)};
}

GraphPaperLayout LayoutGraphPaper(const GraphPositions &p) {
    GraphPaperLayout g;
    g.gapArea = p.gap <= kPeriodScale ? GraphRect{0, 0, double(p.gap), kLowerBandTop} : kNoArea;
    g.strokeX = p.stroke <= kPeriodScale ? double(p.stroke) : double(kPeriodScale);
    g.strokeY = kCursorY;
    g.window = p.upper <= kPeriodScale && p.lower <= kPeriodScale
                   ? GraphRect{double(p.upper), kLowerBandTop, double(p.lower), kUpperBandTop}
                   : kNoArea;
    return g;
}

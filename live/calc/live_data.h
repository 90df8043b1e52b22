// The live data reply of the sensor and where its values fall on the period graph: pure
// arithmetic on plain values, no widgets, so every rule can be checked on its own.
#pragma once

#include "base/state.h"

#include <cstdint>

// Data bytes of an order 8 reply that carry values; more are ignored.
constexpr int kLiveDataSize = 28;
// One press period is drawn as 0..1000 on the graph's x axis.
constexpr std::uint64_t kPeriodScale = 1000;

// Reads the seven little-endian values from the first 28 data bytes of the reply.
LiveDataRec DecodeLiveData(const u8 *data);

// 1 when output `out` (0 = OUT0 .. 3 = OUT3) is set in OutputBits, else 0.
int OutputLed(u32 outputBits, int out);

// Gap, stroke and the two tolerance limits scaled to a period of 1000, truncated; all 0 when the
// period is 0. Computed in 64 bits: a count times 1000 does not fit 32 bits once the count is
// above 4 294 967 (a period over 4.3 s), and a count far beyond the period scales above 2^32.
struct GraphPositions {
    std::uint64_t gap;
    std::uint64_t stroke;
    std::uint64_t lower;
    std::uint64_t upper;
};
GraphPositions NormalisedPositions(const LiveDataRec &live);

// What the period graph shows for one pass: the gap as an area in the lower band, the stroke as
// cursor 1 and the tolerance window as an area in the upper band. A position beyond the period
// cannot be drawn: its area shrinks to the origin, the cursor stops at the period's end.
struct GraphRect {
    double x1, y1, x2, y2;
};
struct GraphPaperLayout {
    GraphRect gapArea;
    double strokeX, strokeY;
    GraphRect window;
};
GraphPaperLayout LayoutGraphPaper(const GraphPositions &positions);

// Pure arithmetic of the scope: decoding a recorder record into the analog trace and the four
// digital lines, the scan frequency from the cycle-time reply, the cursor deltas and the
// decimal places of the displays. No widgets, no application state.
#pragma once

#include <cstdint>

constexpr int kScopeSamples = 128;
constexpr int kScopeRecordSize = 2 * kScopeSamples + 2; // sample words, then the trigger index

// The digital lines and their bands on the digital graph: each line is lifted so that the four
// never overlap, A at the top and D at the bottom, so that the bands read A B C D from the top
// as the graph's title does. Between two bands there is twice the room of a line's own step,
// so that a line's low level never reads as the high level of the line below. Drawn in the
// order A, B, C, D.
enum { DigitalLineA = 0, DigitalLineB, DigitalLineC, DigitalLineD, kDigitalLines };
constexpr int DigitalBandBase(int line) { // low level of the line's band: A 9, B 6, C 3, D 0
    return 3 * (kDigitalLines - 1 - line);
}
constexpr double DigitalBandCentre(int line) { // where the line's letter stands
    return DigitalBandBase(line) + 0.5;
}

struct ScopeTraces {
    std::uint16_t analog[kScopeSamples];                 // digits, 0..4095
    std::uint16_t digital[kDigitalLines][kScopeSamples]; // A 9/10, B 6/7, C 3/4, D 0/1
};

// Decodes the 258-byte record (little-endian sample words in ring order, then the trigger's
// ring index). Single shot (mode 0) shows the ring in stored order; every triggered mode starts
// `preTrigger` samples before the trigger sample, so the trigger lands at display index
// preTrigger modulo 128.
void DecodeScopeRecord(const std::uint8_t *record, int triggerMode, int preTrigger,
                       ScopeTraces *out);
// The two steps of DecodeScopeRecord: the sample words taken out of the ring in display order,
// and the traces split from those words (analog bits 0..11, lines A..D bits 12..15).
void OrderScopeSamples(const std::uint8_t *record, int triggerMode, int preTrigger,
                       std::uint16_t *samples);
void TracesFromSamples(const std::uint16_t *samples, ScopeTraces *out);

// Where the operator let go of a cursor, moved onto the trace: x the nearest whole sample,
// kept within 0..count-1, and y the trace's value at that sample. Without a trace (null or
// count 0) x still becomes a whole sample of a record's 128 and y stays where it was.
struct CursorPoint {
    double x, y;
};
CursorPoint SnapCursorToTrace(const std::uint16_t *trace, int count, double x, double y);

// The frequencies the scope page can show: from 0.01 Hz (two decimals) to 1 GHz, where the
// cycle time is 0.000001 ms (six decimals) and the frequency display ends.
constexpr double kMinShownFrequency = 0.01;
constexpr double kMaxShownFrequency = 1e9;

// Scan frequency in Hz from the 8 data bytes of the cycle-time reply: N0 / (N1 x 0.1 ms).
// A reply that cannot give a frequency (N1 of 0, or a result that is not a positive number)
// or gives one the page cannot show (outside kMinShownFrequency..kMaxShownFrequency) gives
// 0, the value of a failed query.
double ScanFrequencyFromReply(const std::uint8_t *data);

// Decimal places of the scan frequency and cycle time displays for a frequency f in Hz.
int ScanFreqPrecision(double f);
int CycleTimePrecision(double f);

// Samples between the two cursors: |trunc(x1 - x2)|.
int CursorDeltaSamples(double x1, double x2);
// Digits between the two cursors: |trunc(y1) - trunc(y2)|.
int CursorDeltaDigits(double y1, double y2);
// Time between the cursors in ms: n samples of scanRate sensor cycles of cycleTime ms each.
double CursorDeltaTime(int samples, double cycleTime, int scanRate);
// Decimal places of the delta X display.
int DeltaXPrecision(double deltaX);

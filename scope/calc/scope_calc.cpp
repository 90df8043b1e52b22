// Record decoding, scan frequency and cursor arithmetic of the scope (see scope_calc.h).
#include "scope/calc/scope_calc.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace {

std::uint16_t Le16(const std::uint8_t *p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

std::int32_t Le32(const std::uint8_t *p) {
    return static_cast<std::int32_t>(std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) |
                                     (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24));
}

// Truncates towards zero into a 32-bit integer. Values beyond its range (a cursor set far off
// the axis) stop at the range's ends instead of overflowing; NaN counts as 0.
std::int64_t TruncToInt32(double v) {
    if (std::isnan(v)) return 0;
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    if (v <= lo) return std::numeric_limits<std::int32_t>::min();
    if (v >= hi) return std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(v);
}

int ClampToInt(std::int64_t v) {
    if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
    return static_cast<int>(v);
}

} // namespace

void OrderScopeSamples(const std::uint8_t *record, int triggerMode, int preTrigger,
                       std::uint16_t *samples) {
    int start = 0;
    if (triggerMode != 0) start = Le16(record + 2 * kScopeSamples) + kScopeSamples - preTrigger;
    for (int i = 0; i < kScopeSamples; ++i) {
        int j = (start + i) & (kScopeSamples - 1); // ring position, also for negative starts
        samples[i] = Le16(record + 2 * j);
    }
}

void TracesFromSamples(const std::uint16_t *samples, ScopeTraces *out) {
    for (int i = 0; i < kScopeSamples; ++i) {
        std::uint16_t w = samples[i];
        out->analog[i] = w & 0x0FFF;
        for (int line = DigitalLineA; line < kDigitalLines; ++line)
            out->digital[line][i] = std::uint16_t(((w >> (12 + line)) & 1) + DigitalBandBase(line));
    }
}

void DecodeScopeRecord(const std::uint8_t *record, int triggerMode, int preTrigger,
                       ScopeTraces *out) {
    std::uint16_t samples[kScopeSamples];
    OrderScopeSamples(record, triggerMode, preTrigger, samples);
    TracesFromSamples(samples, out);
}

CursorPoint SnapCursorToTrace(const std::uint16_t *trace, int count, double x, double y) {
    int last = (trace && count > 0 ? count : kScopeSamples) - 1;
    double i = std::isnan(x) ? 0 : std::clamp(std::round(x), 0.0, double(last));
    if (!trace || count <= 0) return {i, y};
    return {i, double(trace[int(i)])};
}

double ScanFrequencyFromReply(const std::uint8_t *data) {
    std::int32_t n0 = Le32(data);
    std::int32_t n1 = Le32(data + 4);
    if (n1 == 0) return 0;
    double f = n0 / (n1 * 0.0001);
    return (std::isfinite(f) && f >= kMinShownFrequency && f <= kMaxShownFrequency) ? f : 0;
}

int ScanFreqPrecision(double f) {
    if (f > 1000) return 0;
    if (f > 1) return 1;
    return 2;
}

int CycleTimePrecision(double f) {
    if (f > 10000) return 6;
    if (f > 1) return 3;
    return 0;
}

int CursorDeltaSamples(double x1, double x2) {
    return ClampToInt(std::llabs(TruncToInt32(x1 - x2)));
}

int CursorDeltaDigits(double y1, double y2) {
    return ClampToInt(std::llabs(TruncToInt32(y1) - TruncToInt32(y2)));
}

double CursorDeltaTime(int samples, double cycleTime, int scanRate) {
    return samples * cycleTime * scanRate;
}

int DeltaXPrecision(double deltaX) {
    if (deltaX > 1000) return 0;
    if (deltaX > 1) return 3;
    return 6;
}

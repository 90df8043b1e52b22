// The simulated stamping press as the sensor sees it: one cycle per press period with gap,
// stroke pulse, noise and occasional outliers; the tolerance window, the bad counts and the four
// outputs; the analog signal and digital lines that the recorder samples. Time is the model's
// own microsecond clock, so a seeded model gives the same values whatever the wall clock does.
#pragma once

#include "sim/sensor_params.h"

#include <cstdint>
#include <deque>

namespace tavsim {

// Values of the live data reply (order 8), in the order of its 28 bytes.
struct LiveValues {
    uint32_t period = 0;
    uint32_t gap = 0;
    uint32_t stroke = 0;
    uint32_t lowerTol = 0;
    uint32_t upperTol = 0;
    uint16_t badLower = 0;
    uint16_t badUpper = 0;
    uint32_t outputBits = 0; // bit n = OUTn as driven (INVERSE already applied)
};
constexpr int LiveDataSize = 28;
void encodeLiveData(const LiveValues &values, uint8_t out[LiveDataSize]);

// Output bits before DIGITAL OUTMODE is applied (DIRECT meaning).
constexpr uint8_t Out0InTolerance = 1;
constexpr uint8_t Out1AboveWindow = 2;
constexpr uint8_t Out2SecondHalf = 4;
constexpr uint8_t Out3MissingEvent = 8;

// Lines of a recorder sample word above the 12-bit analog value.
constexpr uint16_t LineGap = 1 << 12;    // A: the gap is seen
constexpr uint16_t LineStroke = 1 << 13; // B: the stroke pulse is seen
constexpr uint16_t LineOut0 = 1 << 14;   // C: OUT0 as driven
constexpr uint16_t LineIn0 = 1 << 15;    // D: input IN0

// Seconds without gap and stroke after which OUT3 goes high.
constexpr uint64_t SilenceLimitUs = 60'000'000;

struct PressCycle {
    uint64_t start = 0;       // model time of the gap's start, µs
    uint32_t period = 0;      // gap to gap, µs
    uint32_t gap = 0;         // length of the gap, µs
    uint32_t strokeRise = 0;  // rising edge of the stroke pulse, from the start
    uint32_t strokeWidth = 0; // length of the stroke pulse
    bool hasStroke = true;    // false: the gap came without a stroke
    uint32_t reported = 0;    // stroke count as reported (edge chosen by CNT STROKE EDGE)
    uint32_t lowerTol = 0;    // tolerance window, from the start
    uint32_t upperTol = 0;
    uint16_t badLower = 0; // faults in a row after this cycle
    uint16_t badUpper = 0;
    uint8_t outputs = 0;   // logical outputs after this cycle's evaluation
    uint64_t evalTime = 0; // model time from which `outputs` hold
    uint64_t end() const { return start + period; }
};

class PressModel {
  public:
    explicit PressModel(uint64_t seed);

    // Settings; they act from the cycle in progress on (it is evaluated again with them).
    void setParams(const ParamSet &params);
    const ParamSet &params() const { return params_; }
    void setRunning(bool running);
    bool running() const { return running_; }
    void setStrokeOffset(int32_t us);
    void setOutlierProbability(double p);
    void setMissingStrokeProbability(double p);

    uint64_t now() const { return now_; }
    // Runs the press up to model time t (never backwards).
    void advanceTo(uint64_t t);
    // Runs until the cycle in progress has ended (a nominal period when the press stands).
    void advanceCycle();
    uint64_t completedCycles() const { return completed_; }

    // The live values at the current model time.
    LiveValues live() const;
    // Recorder sample at model time t (t <= now): analog digits and the lines A, B, C; IN0 is
    // the caller's.
    uint16_t sampleWord(uint64_t t) const;
    // Logical outputs at model time t (t <= now), including the 60-second rule.
    uint8_t logicalOutputs(uint64_t t) const;
    // Outputs as driven, with DIGITAL OUTMODE applied.
    uint8_t drivenOutputs(uint64_t t) const;

    // The sensor's own scan frequency (the recorder's base clock), Hz.
    double scanFrequency() const { return scanFrequency_; }

  private:
    PressCycle drawCycle(uint64_t index, uint64_t start, const PressCycle *previous) const;
    const PressCycle *cycleAt(uint64_t t) const;
    const PressCycle *lastEvaluated(uint64_t t) const;
    void startNextCycle(uint64_t at);
    void redrawInProgress();
    void prune();

    uint64_t seed_;
    ParamSet params_;
    bool running_ = true;
    int32_t strokeOffset_ = 0;
    double outlierProbability_ = 0.01;
    double missingStrokeProbability_ = 0.002;
    double scanFrequency_ = 10000.0;

    uint64_t now_ = 0;
    uint64_t completed_ = 0;
    uint64_t nextIndex_ = 0;
    bool inProgress_ = false;       // cycles_.back() is still running
    std::deque<PressCycle> cycles_; // recent cycles, oldest first
};

} // namespace tavsim

// The sensor's data recorder: 128 samples of the analog signal and four lines into a ring,
// started at once or by one of four triggers, with pre-trigger samples and a scan rate.
#pragma once

#include "sim/press_model.h"

#include <array>
#include <cstdint>

namespace tavsim {

constexpr int ScopeSamples = 128;
constexpr int ScopeRecordSize = 2 * ScopeSamples + 2; // samples, then the trigger's ring index

enum ScopeMode : int16_t {
    ScopeSingleShot = 0,
    ScopeRisingEdge = 1,
    ScopeFallingEdge = 2,
    ScopeOut0Fault = 3, // OUT0 leaves the tolerance
    ScopeIn0High = 4,   // IN0 goes high
};

struct ScopeSettings {
    int16_t level = 0;
    int16_t mode = 0;
    int16_t preTrigger = 0;
    int16_t scanRate = 1;
};
ScopeSettings decodeScopeSettings(const uint8_t in[8]);

class Recorder {
  public:
    // Starts a recording at model time `start`; samples are `scanRate` scan cycles apart.
    void start(const ScopeSettings &settings, uint64_t start, double scanFrequency);
    void cancel() { waiting_ = false; }
    bool waiting() const { return waiting_; }

    // Takes the samples due up to model time `limit`, at most `budget` of them; the model is
    // run forward to each sample's time (a model that already stands later is left alone).
    // Returns true when the record has just become complete.
    bool step(PressModel &model, uint64_t limit, int budget, bool in0);

    // The 258-byte record of the last completed recording.
    const std::array<uint8_t, ScopeRecordSize> &record() const { return record_; }
    uint16_t triggerIndex() const { return triggerIndex_; }

  private:
    bool fires(uint16_t word, uint8_t outputs) const;

    ScopeSettings settings_;
    bool waiting_ = false;
    uint64_t start_ = 0;
    double intervalUs_ = 100.0;
    int pre_ = 0;            // samples kept before the trigger, 0..127
    uint64_t taken_ = 0;     // samples taken so far
    int64_t triggerAt_ = -1; // sample number of the trigger, -1 before it
    uint16_t previousWord_ = 0;
    uint8_t previousOutputs_ = 0;
    uint16_t triggerIndex_ = 0;
    std::array<uint16_t, ScopeSamples> ring_{};
    std::array<uint8_t, ScopeRecordSize> record_{};
};

} // namespace tavsim

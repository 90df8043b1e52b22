// Recorder sampling, trigger conditions and the record layout (128 little-endian words and the
// ring index of the trigger sample).
#include "sim/recorder.h"

#include "protocol/frame.h"

#include <algorithm>
#include <cmath>

namespace tavsim {

ScopeSettings decodeScopeSettings(const uint8_t in[8]) {
    return ScopeSettings{int16_t(getU16(in)), int16_t(getU16(in + 2)), int16_t(getU16(in + 4)),
                         int16_t(getU16(in + 6))};
}

void Recorder::start(const ScopeSettings &settings, uint64_t start, double scanFrequency) {
    settings_ = settings;
    waiting_ = true;
    start_ = start;
    intervalUs_ = std::max<int>(1, settings.scanRate) * 1e6 / scanFrequency;
    // The front end places the trigger at display index preTrigger modulo 128.
    pre_ = settings.mode == ScopeSingleShot ? 0 : (settings.preTrigger & (ScopeSamples - 1));
    taken_ = 0;
    triggerAt_ = -1;
}

bool Recorder::fires(uint16_t word, uint8_t outputs) const {
    const int level = settings_.level;
    const int analog = word & 0x0FFF, previous = previousWord_ & 0x0FFF;
    switch (settings_.mode) {
    case ScopeRisingEdge:
        return previous <= level && analog > level;
    case ScopeFallingEdge:
        return previous >= level && analog < level;
    case ScopeOut0Fault:
        return (previousOutputs_ & Out0InTolerance) && !(outputs & Out0InTolerance);
    case ScopeIn0High:
        return !(previousWord_ & LineIn0) && (word & LineIn0);
    default:
        return false;
    }
}

bool Recorder::step(PressModel &model, uint64_t limit, int budget, bool in0) {
    while (waiting_ && budget-- > 0) {
        const uint64_t t = start_ + uint64_t(std::llround(double(taken_) * intervalUs_));
        if (t > limit) break;
        model.advanceTo(t);
        uint16_t word = model.sampleWord(t);
        if (in0) word |= LineIn0;
        const uint8_t outputs = model.logicalOutputs(t);
        const int64_t n = int64_t(taken_);
        ring_[size_t(n & (ScopeSamples - 1))] = word;

        bool complete = false;
        if (settings_.mode == ScopeSingleShot) {
            complete = n == ScopeSamples - 1;
        } else {
            if (triggerAt_ < 0 && n >= 1 && n >= pre_ && fires(word, outputs)) triggerAt_ = n;
            complete = triggerAt_ >= 0 && n == triggerAt_ + (ScopeSamples - 1 - pre_);
        }
        previousWord_ = word;
        previousOutputs_ = outputs;
        ++taken_;
        if (complete) {
            triggerIndex_ = triggerAt_ < 0 ? 0 : uint16_t(triggerAt_ & (ScopeSamples - 1));
            for (int k = 0; k < ScopeSamples; ++k)
                putU16(record_.data() + 2 * k, ring_[size_t(k)]);
            putU16(record_.data() + 2 * ScopeSamples, triggerIndex_);
            waiting_ = false;
            return true;
        }
    }
    return false;
}

} // namespace tavsim

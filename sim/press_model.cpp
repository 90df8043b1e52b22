// The press model: cycles drawn from a seeded counter-based generator (cycle n always gets the
// same random draws), the output rules, and the signal the recorder samples.
#include "sim/press_model.h"

#include "protocol/frame.h"

#include <algorithm>
#include <cmath>

namespace tavsim {

namespace {

constexpr double NominalPeriodUs = 20000.0;
constexpr double NominalStrokeFraction = 0.6; // stroke at 60 % of the period
constexpr double NominalStrokeWidthUs = 1000.0;
constexpr uint64_t KeepHistoryUs = 20'000'000; // cycles kept for the recorder and the rules

// Analog signal of the optical sensor, digits: material seen, gap, stroke pulse.
constexpr double LevelMaterial = 3000.0;
constexpr double LevelGap = 700.0;
constexpr double LevelStroke = 3900.0;
constexpr double GapRampUs = 150.0;
constexpr double StrokeRampUs = 80.0;
constexpr double NoiseDigits = 30.0; // peak to peak

uint64_t splitmix(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// Uniform in [0, 1), a pure function of seed, index and stream.
double uniform(uint64_t seed, uint64_t index, uint64_t stream) {
    uint64_t h = splitmix(seed ^ splitmix(index * 64 + stream));
    return double(h >> 11) * (1.0 / 9007199254740992.0);
}

// Standard normal from two uniform streams (Box-Muller).
double gaussian(uint64_t seed, uint64_t index, uint64_t stream) {
    double u1 = std::max(uniform(seed, index, stream), 1e-12);
    double u2 = uniform(seed, index, stream + 1);
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * M_PI * u2);
}

uint32_t roundU32(double v) {
    return v <= 0 ? 0 : uint32_t(std::lround(v));
}

uint16_t saturatedIncrement(uint16_t v) {
    return v == 0xFFFF ? v : uint16_t(v + 1);
}

} // namespace

void encodeLiveData(const LiveValues &v, uint8_t out[LiveDataSize]) {
    putU32(out + 0, v.period);
    putU32(out + 4, v.gap);
    putU32(out + 8, v.stroke);
    putU32(out + 12, v.lowerTol);
    putU32(out + 16, v.upperTol);
    putU16(out + 20, v.badLower);
    putU16(out + 22, v.badUpper);
    putU32(out + 24, v.outputBits);
}

PressModel::PressModel(uint64_t seed) : seed_(seed) {
    // The sensor's crystal is off by up to +/-50 ppm, the same for a given seed.
    scanFrequency_ = 10000.0 * (1.0 + (uniform(seed_, ~0ull, 0) - 0.5) * 100e-6);
    startNextCycle(0);
}

PressCycle PressModel::drawCycle(uint64_t n, uint64_t start, const PressCycle *previous) const {
    PressCycle c;
    c.start = start;
    double jitter = std::clamp(0.002 * gaussian(seed_, n, 0), -0.01, 0.01);
    double period = NominalPeriodUs * (1.0 + jitter);
    c.period = roundU32(period);
    c.gap = roundU32(0.25 * period * (1.0 + 0.01 * gaussian(seed_, n, 2)));
    c.strokeWidth = roundU32(NominalStrokeWidthUs * (1.0 + 0.05 * gaussian(seed_, n, 4)));

    double rise =
        NominalStrokeFraction * period + 0.002 * period * gaussian(seed_, n, 6) + strokeOffset_;
    if (uniform(seed_, n, 8) < outlierProbability_) {
        double sign = uniform(seed_, n, 9) < 0.5 ? -1.0 : 1.0;
        rise += sign * (0.08 + 0.07 * uniform(seed_, n, 10)) * period;
    }
    rise = std::clamp(rise, double(c.gap) + 50.0, double(c.period) - c.strokeWidth - 50.0);
    c.strokeRise = roundU32(rise);
    c.hasStroke = !(uniform(seed_, n, 11) < missingStrokeProbability_);

    const bool fallingEdge = params_.cntStrokeEdge == 1;
    c.reported = c.hasStroke ? c.strokeRise + (fallingEdge ? c.strokeWidth : 0) : 0;
    double nominal = NominalStrokeFraction * period + (fallingEdge ? NominalStrokeWidthUs : 0.0);
    double half = period * params_.strokeTolerance / 1000.0;
    c.lowerTol = roundU32(nominal - half);
    c.upperTol = roundU32(nominal + half);

    uint8_t out = previous ? previous->outputs : Out0InTolerance;
    uint16_t badLower = previous ? previous->badLower : 0;
    uint16_t badUpper = previous ? previous->badUpper : 0;
    const uint16_t toFail = std::max<uint16_t>(1, params_.badCntToFail);
    if (!c.hasStroke) {
        out |= Out3MissingEvent; // the gap came without a stroke
    } else {
        out &= uint8_t(~Out3MissingEvent);
        if (c.reported < c.lowerTol) {
            badUpper = 0;
            badLower = saturatedIncrement(badLower);
            if (badLower >= toFail) out &= uint8_t(~(Out0InTolerance | Out1AboveWindow));
        } else if (c.reported > c.upperTol) {
            badLower = 0;
            badUpper = saturatedIncrement(badUpper);
            if (badUpper >= toFail) out = uint8_t((out & ~Out0InTolerance) | Out1AboveWindow);
        } else {
            badLower = badUpper = 0;
            out |= Out0InTolerance;
        }
        if (uint64_t(c.reported) * 2 >= c.period)
            out |= Out2SecondHalf;
        else
            out &= uint8_t(~Out2SecondHalf);
    }
    c.outputs = out;
    c.badLower = badLower;
    c.badUpper = badUpper;
    c.evalTime = start + (c.hasStroke ? c.reported : c.period);
    return c;
}

void PressModel::startNextCycle(uint64_t at) {
    const PressCycle *previous = cycles_.empty() ? nullptr : &cycles_.back();
    PressCycle c = drawCycle(nextIndex_++, at, previous);
    cycles_.push_back(c);
    inProgress_ = true;
}

void PressModel::redrawInProgress() {
    if (!inProgress_) return;
    const PressCycle *previous = cycles_.size() >= 2 ? &cycles_[cycles_.size() - 2] : nullptr;
    cycles_.back() = drawCycle(nextIndex_ - 1, cycles_.back().start, previous);
}

void PressModel::setParams(const ParamSet &params) {
    params_ = params;
    redrawInProgress();
}

void PressModel::setStrokeOffset(int32_t us) {
    strokeOffset_ = us;
    redrawInProgress();
}

void PressModel::setOutlierProbability(double p) {
    outlierProbability_ = p;
    redrawInProgress();
}

void PressModel::setMissingStrokeProbability(double p) {
    missingStrokeProbability_ = p;
    redrawInProgress();
}

void PressModel::setRunning(bool running) {
    if (running && !running_ && !inProgress_) startNextCycle(now_);
    running_ = running;
}

void PressModel::advanceTo(uint64_t t) {
    if (t < now_) return;
    while (inProgress_ && cycles_.back().end() <= t) {
        uint64_t end = cycles_.back().end();
        inProgress_ = false;
        ++completed_;
        if (running_) startNextCycle(end);
        if (cycles_.size() > 4096) { // a long run forward keeps only the recent history
            now_ = end;
            prune();
        }
    }
    now_ = t;
    prune();
}

void PressModel::advanceCycle() {
    if (inProgress_)
        advanceTo(cycles_.back().end());
    else
        advanceTo(now_ + uint64_t(NominalPeriodUs));
}

void PressModel::prune() {
    while (cycles_.size() > 2 && cycles_.front().end() + KeepHistoryUs < now_)
        cycles_.pop_front();
}

const PressCycle *PressModel::cycleAt(uint64_t t) const {
    for (auto it = cycles_.rbegin(); it != cycles_.rend(); ++it)
        if (it->start <= t) return t < it->end() ? &*it : nullptr;
    return nullptr;
}

const PressCycle *PressModel::lastEvaluated(uint64_t t) const {
    for (auto it = cycles_.rbegin(); it != cycles_.rend(); ++it)
        if (it->evalTime <= t) return &*it;
    return nullptr;
}

uint8_t PressModel::logicalOutputs(uint64_t t) const {
    const PressCycle *e = lastEvaluated(t);
    uint8_t out = e ? e->outputs : Out0InTolerance;
    // The last gap or stroke seen at or before t.
    uint64_t lastEvent = 0;
    for (auto it = cycles_.rbegin(); it != cycles_.rend(); ++it) {
        if (it->start > t) continue;
        lastEvent = it->start;
        if (it->hasStroke && it->start + it->strokeRise <= t)
            lastEvent = it->start + it->strokeRise;
        break;
    }
    if (t - lastEvent >= SilenceLimitUs) out |= Out3MissingEvent;
    return out;
}

uint8_t PressModel::drivenOutputs(uint64_t t) const {
    uint8_t logical = logicalOutputs(t);
    return params_.digitalOutmode == 1 ? uint8_t(~logical & 0x0F) : logical;
}

LiveValues PressModel::live() const {
    LiveValues v;
    const PressCycle *done = nullptr;
    if (!cycles_.empty())
        done = inProgress_ ? (cycles_.size() >= 2 ? &cycles_[cycles_.size() - 2] : nullptr)
                           : &cycles_.back();
    if (done) {
        v.period = done->period;
        v.gap = done->gap;
        v.stroke = done->reported;
        v.lowerTol = done->lowerTol;
        v.upperTol = done->upperTol;
    }
    if (const PressCycle *e = lastEvaluated(now_)) {
        v.badLower = e->badLower;
        v.badUpper = e->badUpper;
    }
    v.outputBits = drivenOutputs(now_);
    return v;
}

uint16_t PressModel::sampleWord(uint64_t t) const {
    double level = LevelMaterial;
    uint16_t lines = 0;
    if (const PressCycle *c = cycleAt(t)) {
        double x = double(t - c->start);
        double gap = c->gap;
        if (x < GapRampUs)
            level = LevelMaterial + (LevelGap - LevelMaterial) * (x / GapRampUs);
        else if (x < gap)
            level = LevelGap;
        else if (x < gap + GapRampUs)
            level = LevelGap + (LevelMaterial - LevelGap) * ((x - gap) / GapRampUs);
        if (x < gap) lines |= LineGap;
        double rise = c->strokeRise, fall = rise + c->strokeWidth;
        if (c->hasStroke && x >= rise && x < fall) {
            lines |= LineStroke;
            double ramp = std::min({1.0, (x - rise) / StrokeRampUs, (fall - x) / StrokeRampUs});
            level = LevelMaterial + (LevelStroke - LevelMaterial) * ramp;
        }
    }
    level += (uniform(seed_, t, 60) - 0.5) * NoiseDigits;
    if (drivenOutputs(t) & Out0InTolerance) lines |= LineOut0;
    return uint16_t(lines | uint16_t(std::clamp(std::lround(level), 0L, 4095L)));
}

} // namespace tavsim

// The press model and the recorder without any link: determinism, plausible cycles, the output
// rules with DIRECT and INVERSE, the 60-second rule, and each trigger mode of the recorder.
#include "protocol/frame.h"
#include "sim/press_model.h"
#include "sim/recorder.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <functional>
#include <limits>

using namespace tavsim;

namespace {

bool sameLive(const LiveValues &a, const LiveValues &b) {
    return a.period == b.period && a.gap == b.gap && a.stroke == b.stroke &&
           a.lowerTol == b.lowerTol && a.upperTol == b.upperTol && a.badLower == b.badLower &&
           a.badUpper == b.badUpper && a.outputBits == b.outputBits;
}

// The record as the front end decodes it: display index i from ring position (s + i) & 127.
std::array<uint16_t, ScopeSamples> decode(const std::array<uint8_t, ScopeRecordSize> &record,
                                          int mode, int preTrigger) {
    const int triggerIndex = getU16(record.data() + 2 * ScopeSamples);
    const int s = mode == 0 ? 0 : triggerIndex + 128 - preTrigger;
    std::array<uint16_t, ScopeSamples> words{};
    for (int i = 0; i < ScopeSamples; ++i)
        words[size_t(i)] = getU16(record.data() + 2 * ((s + i) & 0x7F));
    return words;
}

// Steps a recording in small slices; `during(slice)` may change the press or IN0 meanwhile.
bool record(PressModel &model, Recorder &recorder, const ScopeSettings &settings,
            const std::function<void(int, bool *)> &during = {}) {
    recorder.start(settings, model.now(), model.scanFrequency());
    bool in0 = false;
    for (int slice = 0; slice < 2000; ++slice) {
        if (during) during(slice, &in0);
        if (recorder.step(model, std::numeric_limits<uint64_t>::max(), 16, in0)) return true;
    }
    return false;
}

} // namespace

TEST(SimPressModel, SameSeedGivesSameCyclesAnotherSeedOthers) {
    PressModel a(42), b(42), c(43);
    int differ = 0;
    for (int i = 0; i < 300; ++i) {
        a.advanceCycle();
        b.advanceCycle();
        c.advanceCycle();
        ASSERT_TRUE(sameLive(a.live(), b.live())) << "cycle " << i;
        differ += !sameLive(a.live(), c.live());
    }
    EXPECT_GT(differ, 250);
    EXPECT_EQ(a.now(), b.now());
    EXPECT_EQ(a.scanFrequency(), b.scanFrequency());
}

TEST(SimPressModel, CyclesArePlausible) {
    PressModel m(5);
    const int cycles = 5000;
    int outside = 0, missing = 0;
    double periodSum = 0;
    for (int i = 0; i < cycles; ++i) {
        m.advanceCycle();
        LiveValues v = m.live();
        periodSum += v.period;
        ASSERT_GE(v.period, 19800u);
        ASSERT_LE(v.period, 20200u);
        ASSERT_NEAR(double(v.gap), v.period * 0.25, v.period * 0.25 * 0.06);
        // 50 per mille of the period each side of the nominal stroke at 60 %.
        ASSERT_NEAR(double(v.lowerTol), v.period * 0.55, 1.0);
        ASSERT_NEAR(double(v.upperTol), v.period * 0.65, 1.0);
        ASSERT_LE(v.outputBits, 0x0Fu);
        if (v.stroke == 0)
            ++missing;
        else if (v.stroke < v.lowerTol || v.stroke > v.upperTol)
            ++outside;
    }
    EXPECT_EQ(m.completedCycles(), uint64_t(cycles));
    EXPECT_NEAR(periodSum / cycles, 20000.0, 20.0);
    EXPECT_GT(outside, cycles / 400); // about 1 % outliers
    EXPECT_LT(outside, cycles / 30);
    EXPECT_GE(missing, 1); // about 0.2 % gaps without stroke
    EXPECT_LT(missing, cycles / 100);
}

TEST(SimPressModel, OutputRulesWithBadCountsDirectAndInverse) {
    PressModel m(9);
    m.setOutlierProbability(0);
    m.setMissingStrokeProbability(0);
    m.setParams(ParamSet{50, 3, 0, 0});
    struct Step {
        int offsetUs;
        uint16_t badLower, badUpper;
        uint32_t outputs;
    };
    // OUT0 in tolerance, OUT1 above / below, OUT2 second half of the period.
    const Step steps[] = {
        {0, 0, 0, 0x5},     {3000, 0, 1, 0x5},  {3000, 0, 2, 0x5},  {3000, 0, 3, 0x6},
        {-3000, 1, 0, 0x2}, {-3000, 2, 0, 0x2}, {-3000, 3, 0, 0x0}, {0, 0, 0, 0x5},
    };
    int n = 0;
    for (const Step &s : steps) {
        m.setStrokeOffset(s.offsetUs);
        m.advanceCycle();
        LiveValues v = m.live();
        EXPECT_EQ(v.badLower, s.badLower) << "step " << n;
        EXPECT_EQ(v.badUpper, s.badUpper) << "step " << n;
        EXPECT_EQ(v.outputBits, s.outputs) << "step " << n;
        ++n;
    }
    m.setParams(ParamSet{50, 3, 1, 0}); // INVERSE drives every output the other way
    EXPECT_EQ(m.live().outputBits, 0xAu);
}

TEST(SimPressModel, FallingEdgeMovesStrokeAndWindowByThePulse) {
    PressModel rising(11), falling(11);
    falling.setParams(ParamSet{50, 25, 0, 1});
    for (int i = 0; i < 50; ++i) {
        rising.advanceCycle();
        falling.advanceCycle();
        LiveValues r = rising.live(), f = falling.live();
        if (r.stroke == 0) continue;
        EXPECT_GE(f.stroke - r.stroke, 800u);
        EXPECT_LE(f.stroke - r.stroke, 1200u);
        EXPECT_EQ(f.lowerTol - r.lowerTol, 1000u);
    }
}

TEST(SimPressModel, Out3ForAMissingStrokeAndAfterSixtySecondsOfSilence) {
    PressModel m(3);
    m.setOutlierProbability(0);
    m.setMissingStrokeProbability(1.0);
    m.advanceCycle();
    EXPECT_EQ(m.live().stroke, 0u);
    EXPECT_TRUE(m.live().outputBits & Out3MissingEvent);

    m.setMissingStrokeProbability(0);
    m.advanceCycle();
    EXPECT_FALSE(m.live().outputBits & Out3MissingEvent);

    m.setRunning(false);
    m.advanceCycle(); // the cycle in progress runs out
    const uint64_t stopped = m.now();
    m.advanceTo(stopped + 59'000'000);
    EXPECT_FALSE(m.live().outputBits & Out3MissingEvent);
    m.advanceTo(stopped + 61'000'000);
    EXPECT_TRUE(m.live().outputBits & Out3MissingEvent);
    m.setParams(ParamSet{50, 25, 1, 0});
    EXPECT_FALSE(m.live().outputBits & Out3MissingEvent); // INVERSE: OUT3 low when active

    m.setParams(ParamSet{});
    m.setRunning(true);
    m.advanceCycle();
    EXPECT_FALSE(m.live().outputBits & Out3MissingEvent);
}

TEST(SimRecorder, SingleShotTakes128SamplesInRingOrderAtTheScanRate) {
    PressModel m(21);
    Recorder r;
    const ScopeSettings settings{0, ScopeSingleShot, 55, 4};
    r.start(settings, m.now(), m.scanFrequency());
    EXPECT_FALSE(r.step(m, std::numeric_limits<uint64_t>::max(), 127, false));
    EXPECT_TRUE(r.step(m, std::numeric_limits<uint64_t>::max(), 1, false));
    EXPECT_FALSE(r.waiting());
    EXPECT_EQ(r.triggerIndex(), 0);

    // Pre-trigger and trigger index play no part: the stored order is the time order.
    auto words = decode(r.record(), ScopeSingleShot, 0);
    std::vector<int> gapEnds;
    for (int i = 1; i < ScopeSamples; ++i)
        if ((words[size_t(i - 1)] & 0xFFF) <= 2000 && (words[size_t(i)] & 0xFFF) > 2000)
            gapEnds.push_back(i);
    // Samples 4 scan cycles (0.4 ms) apart: one press period is about 50 samples.
    ASSERT_GE(gapEnds.size(), 2u);
    for (size_t k = 1; k < gapEnds.size(); ++k)
        EXPECT_NEAR(gapEnds[k] - gapEnds[k - 1], 50, 1);
    // Line A marks the gap (the signal is low there), line B the stroke pulse (high).
    for (uint16_t w : words) {
        if ((w & 0xFFF) < 1000) {
            EXPECT_TRUE(w & LineGap) << std::hex << w;
        }
        if (w & LineStroke) {
            EXPECT_GT(w & 0xFFF, 2950) << std::hex << w;
        }
    }
}

TEST(SimRecorder, TriggerModesPutTheTriggerSampleAtThePreTriggerIndex) {
    struct Case {
        const char *name;
        ScopeSettings settings;
        int displayIndex; // where the front end finds the trigger sample
        // Checks the samples before and at the trigger.
        std::function<bool(uint16_t before, uint16_t at)> fired;
        std::function<void(PressModel &, int, bool *)> during;
    };
    const Case cases[] = {
        {"rising edge",
         {2000, ScopeRisingEdge, 20, 1},
         20,
         [](uint16_t b, uint16_t a) { return (b & 0xFFF) <= 2000 && (a & 0xFFF) > 2000; },
         {}},
        {"falling edge",
         {2000, ScopeFallingEdge, 100, 1},
         100,
         [](uint16_t b, uint16_t a) { return (b & 0xFFF) >= 2000 && (a & 0xFFF) < 2000; },
         {}},
        {"rising edge through the stroke pulse",
         {3500, ScopeRisingEdge, 0, 1},
         0,
         [](uint16_t, uint16_t a) { return (a & 0xFFF) > 3500 && (a & LineStroke); },
         {}},
        {"pre-trigger 130 wraps to 2",
         {2000, ScopeRisingEdge, 130, 2},
         2,
         [](uint16_t b, uint16_t a) { return (b & 0xFFF) <= 2000 && (a & 0xFFF) > 2000; },
         {}},
        {"OUT0 leaves the tolerance",
         {0, ScopeOut0Fault, 10, 1},
         10,
         [](uint16_t b, uint16_t a) { return (b & LineOut0) && !(a & LineOut0); },
         [](PressModel &m, int slice, bool *) {
             if (slice == 20) m.setStrokeOffset(3000);
         }},
        {"IN0 goes high",
         {0, ScopeIn0High, 64, 3},
         64,
         [](uint16_t b, uint16_t a) { return !(b & LineIn0) && (a & LineIn0); },
         [](PressModel &, int slice, bool *in0) { *in0 = slice >= 30; }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        PressModel m(77);
        m.setOutlierProbability(0);
        m.setMissingStrokeProbability(0);
        m.setParams(ParamSet{50, 1, 0, 0});
        Recorder r;
        bool done = record(m, r, c.settings, [&](int slice, bool *in0) {
            if (c.during) c.during(m, slice, in0);
        });
        ASSERT_TRUE(done);
        auto words = decode(r.record(), c.settings.mode, c.settings.preTrigger);
        const size_t at = size_t(c.displayIndex);
        const uint16_t before = at == 0 ? 0 : words[at - 1];
        EXPECT_TRUE(c.fired(before, words[at]))
            << std::hex << "before " << before << " at " << words[at];
        EXPECT_LT(r.triggerIndex(), ScopeSamples);
    }
}

TEST(SimRecorder, WaitsWithoutItsTriggerAndCanBeCancelled) {
    PressModel m(5);
    Recorder r;
    // A level the signal never crosses.
    r.start(ScopeSettings{4095, ScopeRisingEdge, 0, 1}, m.now(), m.scanFrequency());
    EXPECT_FALSE(r.step(m, std::numeric_limits<uint64_t>::max(), 5000, false));
    EXPECT_TRUE(r.waiting());
    r.cancel();
    EXPECT_FALSE(r.waiting());
    EXPECT_FALSE(r.step(m, std::numeric_limits<uint64_t>::max(), 5000, false));
}

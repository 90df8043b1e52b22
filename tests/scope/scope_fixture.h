// The program started as WinMain does, with the scope panel in front (the scope page itself
// stays hidden), and small readers for the scope's controls.
#pragma once

#include "tests/app/program_fixture.h"

#include "scope/scope_calc.h"

class ScopeProgramTest : public ProgramTest {
  protected:
    void SetUp() override {
        ProgramTest::SetUp();
        ShowChildPanelDisp(App.ScopePanel);
        TestProcessEvents(5);
    }

    static double CtrlDouble(int panel, int control) {
        double v = -1;
        GetCtrlVal(panel, control, &v);
        return v;
    }
    static int CtrlInt(int panel, int control) {
        int v = -1;
        GetCtrlVal(panel, control, &v);
        return v;
    }
    static int Precision(int panel, int control) {
        int v = -1;
        GetCtrlAttribute(panel, control, ATTR_PRECISION, &v);
        return v;
    }
    static int Dimmed(int panel, int control) {
        int v = -1;
        GetCtrlAttribute(panel, control, ATTR_DIMMED, &v);
        return v;
    }

    struct Range {
        int mode;
        double min, max;
    };
    static Range Axis(int control, int axis) {
        Range r{-1, 0, 0};
        GetAxisScalingMode(App.ScopePanel, control, axis, &r.mode, &r.min, &r.max);
        return r;
    }

    // A record shaped like a stroke: a rising and falling analog pulse with the lines
    // switching at different samples.
    static ScopeTraces SampleTraces() {
        ScopeTraces t{};
        for (int i = 0; i < kScopeSamples; ++i) {
            double d = (i - 64) / 14.0;
            t.analog[i] = static_cast<std::uint16_t>(400 + 3000 / (1 + d * d));
            t.digital[DigitalLineA][i] = (i >= 40 && i < 90) ? 3 : 2;
            t.digital[DigitalLineB][i] = (i >= 60) ? 1 : 0;
            t.digital[DigitalLineC][i] = (i % 32 < 16) ? 7 : 6;
            t.digital[DigitalLineD][i] = (i >= 20 && i < 25) ? 5 : 4;
        }
        return t;
    }
};

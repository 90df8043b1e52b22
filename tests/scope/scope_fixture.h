// The program started as WinMain starts it, in a private program folder, with the scope panel
// in front. COM1 leads nowhere unless a test brings a sensor (RecorderTest), so the start-up
// connection attempt fails at once and the program goes offline. The scope page, which the
// program keeps hidden, is made visible so that tests can work its controls the way an
// operator would if the page were shown. Small readers for the scope's controls.
#pragma once

#include "scope/calc/scope_calc.h"
#include "tests/support/program_fixture.h"
#include "window/panels.h"

#include <string>
#include <vector>

class ScopeProgramTest : public ProgramFixture {
  protected:
    int Answer(const PopupRecord &r, std::string *) override {
        return r.kind == "generic" ? VAL_GENERIC_POPUP_BTN2 : answer; // Offline
    }

    void SetUp() override {
        ProgramFixture::SetUp();
        if (HasFatalFailure()) return;
        SetTabPageAttribute(App.MainPanel, MAINP_TAB, 2, ATTR_VISIBLE, 1);
        ShowChildPanelDisp(App.ScopePanel);
        TestProcessEvents(5);
        popups.clear(); // whatever the start-up showed
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
    // switching at different samples. Sample words in display order.
    static std::vector<std::uint16_t> SampleWords() {
        std::vector<std::uint16_t> w(kScopeSamples);
        for (int i = 0; i < kScopeSamples; ++i) {
            double d = (i - 64) / 14.0;
            int a = (i >= 40 && i < 90), b = (i >= 60), c = (i % 32 < 16), dl = (i >= 20 && i < 25);
            w[i] = std::uint16_t(int(400 + 3000 / (1 + d * d)) | a << 12 | b << 13 | c << 14 |
                                 dl << 15);
        }
        return w;
    }
    static ScopeTraces SampleTraces() {
        ScopeTraces t{};
        TracesFromSamples(SampleWords().data(), &t);
        return t;
    }
};

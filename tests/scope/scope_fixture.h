// The program started as WinMain starts it, in a private program folder, with the scope panel
// in front. COM1 leads nowhere unless a test brings a sensor (RecorderTest), so the start-up
// connection attempt fails at once and the program goes offline. The scope page, which the
// program keeps hidden, is made visible so that tests can work its controls the way an
// operator would if the page were shown. Small readers for the scope's controls.
#pragma once

#include "app/app.h"
#include "base/panels.h"
#include "base/state.h"
#include "platform/testing.h"
#include "platform/ui.h"
#include "scope/scope_calc.h"

#include "Tavironv10.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

class ScopeProgramTest : public ::testing::Test {
  protected:
    std::filesystem::path programDir;
    std::vector<PopupRecord> popups;
    int answer = 1; // what the responder answers to message and confirm popups

    // The device behind COM1 for the start-up attempt; a sensor's line in RecorderTest.
    virtual std::string StartSensor() { return "/nonexistent/taviron-test-tty"; }

    void SetUp() override {
        namespace fs = std::filesystem;
        char tmpl[] = "/tmp/taviron-scope-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        programDir = tmpl;
        for (const char *f : {"Tavironv10.uir", "logoHV.bmp"})
            fs::create_symlink(fs::path(TAVIRON_BIN_DIR) / f, programDir / f);
        TestSetProjectDir(programDir.c_str());
        App = AppState{};
        std::string device = StartSensor();
        ASSERT_FALSE(HasFatalFailure());
        TestMapComPort(1, device.c_str());
        SetPopupResponder([this](const PopupRecord &r, std::string *) {
            popups.push_back(r);
            return r.kind == "generic" ? VAL_GENERIC_POPUP_BTN2 : answer; // Offline
        });
        static char name[] = "test_scope";
        static char *argv[] = {name, nullptr};
        ASSERT_EQ(LoadPanels(1, argv), 0);
        InitAll();
        TestProcessEvents(5);
        SetTabPageAttribute(App.MainPanel, MAINP_TAB, 2, ATTR_VISIBLE, 1);
        ShowChildPanelDisp(App.ScopePanel);
        TestProcessEvents(5);
        popups.clear(); // whatever the start-up showed
    }

    void TearDown() override {
        ShutDown();
        TestProcessEvents(5);
        TestMapComPort(1, nullptr);
        SetPopupResponder({});
        TestSetProjectDir("");
        std::filesystem::remove_all(programDir);
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
    static int Visible(int panel, int control) {
        int v = -1;
        GetCtrlAttribute(panel, control, ATTR_VISIBLE, &v);
        return v;
    }
    static std::string Text(int panel, int control) {
        std::vector<char> buf(1 << 16);
        GetCtrlValText(panel, control, buf.data(), int(buf.size()));
        return buf.data();
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

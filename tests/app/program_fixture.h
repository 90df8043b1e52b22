// Starts the program in-process as WinMain does (panels, start-up sequence) and shuts it down
// after each test. The program runs in a private program directory (resource file and logo
// linked in, no panel settings file, so the default settings apply) next to a simulated
// sensor on a pseudo-terminal mapped to COM1, the default port: the start-up connection
// attempt succeeds as it does beside a real sensor. Popups are answered by a responder that
// records them.
#pragma once

#include "app/app.h"
#include "app/options.h"
#include "base/state.h"
#include "platform/testing.h"
#include "platform/ui.h"
#include "sim/sim.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// The private program directory and the simulated sensor behind COM1.
class SensorEnvironment {
  public:
    void Start() {
        namespace fs = std::filesystem;
        char tmpl[] = "/tmp/taviron-app-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir_ = tmpl;
        for (const char *f : {"Tavironv10.uir", "logoHV.bmp"})
            fs::create_symlink(fs::path(TAVIRON_BIN_DIR) / f, dir_ / f);
        TestSetProjectDir(dir_.c_str());
        tavsim::SimConfig config;
        config.tcp = false;
        config.serial = true;
        config.sensor.steppedClock = true;
        sim_ = std::make_unique<tavsim::SimSensor>(config);
        std::string error;
        ASSERT_TRUE(sim_->start(&error)) << error;
        TestMapComPort(1, sim_->serialPath().c_str());
    }
    void Stop() {
        TestMapComPort(1, nullptr);
        if (sim_) sim_->stop();
        TestSetProjectDir("");
        std::filesystem::remove_all(dir_);
    }

  private:
    std::filesystem::path dir_;
    std::unique_ptr<tavsim::SimSensor> sim_;
};

class ProgramTest : public ::testing::Test {
  protected:
    SensorEnvironment env;
    std::vector<PopupRecord> popups;
    int answer = 1; // what the responder answers

    // The command line the program is started with, after its name.
    virtual std::vector<const char *> Options() const { return {}; }

    void SetUp() override {
        env.Start();
        App = AppState{};
        std::vector<const char *> args = {"test_app"};
        for (const char *o : Options())
            args.push_back(o);
        ApplyStartOptions(int(args.size()), args.data());
        SetPopupResponder([this](const PopupRecord &r, std::string *) {
            popups.push_back(r);
            return answer;
        });
        static char name[] = "test_app";
        static char *argv[] = {name, nullptr};
        ASSERT_EQ(LoadPanels(1, argv), 0);
        InitAll();
        TestProcessEvents(20);
    }

    void TearDown() override {
        ShutDown();
        TestProcessEvents(5);
        SetPopupResponder({});
        env.Stop();
    }
};

// The program started in-process as WinMain starts it (panels, start-up sequence) for one test
// and shut down after it, in a private program folder: the resource file and logo linked in
// (the language files too where a fixture asks), no panel settings file unless the test writes
// one, no installed data folder. Behind COM1, the default port, stands either a simulated
// sensor on a pseudo-terminal, so the start-up attempt connects as it does beside a real sensor,
// or no device, so it fails at once. Popups are recorded and answered by Answer(). The tests of
// each part derive their fixture from ProgramFixture and add only what is theirs.
#pragma once

#include "app/app.h"
#include "base/state.h"
#include "platform/testing.h"
#include "platform/ui.h"
#include "sim/sim.h"
#include "tests/common/panel_text.h"

#include "Tavironv10.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fs = std::filesystem;

// What stands beside the program.
struct ProgramSetup {
    bool simulatedSensor = false; // a simulated sensor behind COM1, else no device there
    bool languageFiles = false;   // the two language files beside the program
    bool currentFolder = false;   // the program folder is also the current folder
    bool startInSetUp = true;     // else the test calls Start() (after writing files, ...)
};

// The private program folder and what stands behind COM1; also usable without a fixture (a test
// that starts WinMain itself).
class ProgramEnvironment {
  public:
    virtual ~ProgramEnvironment() = default;

    // Makes the folder and starts the sensor; a failure is a fatal test failure.
    void StartEnvironment(const ProgramSetup &setup);
    // Stops the sensor, takes the mappings back and removes the folder.
    void StopEnvironment();

    // Starts a simulated sensor with `config` (one started later by a test is stopped with the
    // rest). SimDefaults(): TCP on an ephemeral port of 127.0.0.1 and a pseudo-terminal, on a
    // clock that steps with the requests.
    void StartSim(const tavsim::SimConfig &config);
    static tavsim::SimConfig SimDefaults();

    fs::path programDir;
    std::unique_ptr<tavsim::SimSensor> sim;

  protected:
    // Changes to the simulated sensor's set-up before it starts.
    virtual void ConfigureSim(tavsim::SimConfig &) {}

  private:
    fs::path oldCwd_;
};

class ProgramFixture : public ::testing::Test, public ProgramEnvironment {
  protected:
    ProgramSetup setup; // what a derived fixture's constructor chooses
    std::vector<PopupRecord> popups;
    int answer = 1;       // what Answer() gives unless a fixture answers otherwise
    bool started = false; // the panels are loaded and the start-up sequence ran

    // Runs with the folder ready, before the program starts (a settings file, options, ...).
    virtual void BeforeStart() {}
    // The answer to a popup (for a file dialog also the chosen path).
    virtual int Answer(const PopupRecord &, std::string * /*path*/) { return answer; }

    void SetUp() override;
    void TearDown() override;
    // Loads the panels and runs the start-up sequence, as WinMain does before its loop.
    void Start();

    // An operator's click on a control (a page of the main panel's tab is brought to the front
    // first); returns once the callback and everything it started have run. From inside an
    // operation under way (RunWhen) or to leave a click queued, call TestClickCtrl instead.
    static void Click(int panel, int control);

    // Readers of the panels (beside Text and Label of panel_text.h).
    static int Dimmed(int panel, int control);
    static int Visible(int panel, int control);
    static int ActivePage();
    // The status box of the connection page, and emptying it.
    static std::string Status();
    static void ClearStatus();

    // Opens the program's TCP conversation with a sensor on `port` of 127.0.0.1, as connecting
    // does but without the identity check.
    static void OpenTcp(int port);
    // Opens COM1, mapped to `device`, as the program's serial line at 115200 Bd, as connecting
    // does but without the identity check.
    static void OpenSerial(const std::string &device);

    // Runs `action` from the event loop once `condition` holds; checked on every pass of the
    // loop, so inside an operation it runs from the wait of the exchange under way. An action
    // still pending when the test ends never runs.
    void RunWhen(std::function<bool()> condition, std::function<void()> action);
    // Once the sensor has received the next request of `order`, the link's clock
    // (tests/support/test_clock.h) moves on by a second on every pass of the event loop until
    // the link reports a failure: a reply the sensor keeps back, or the rest of one, times out
    // at once instead of after 3 s.
    void TimeOutAfterRequest(int order);

  private:
    // Queued actions check this first, so none outlives its test.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

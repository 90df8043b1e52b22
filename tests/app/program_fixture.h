// The program started as WinMain starts it, next to a simulated sensor behind COM1, the default
// port: the start-up connection attempt succeeds as it does beside a real sensor. A fixture may
// give the program a command line (after its name).
#pragma once

#include "app/options.h"
#include "tests/support/program_fixture.h"

#include <vector>

class ProgramTest : public ProgramFixture {
  protected:
    ProgramTest() { setup.simulatedSensor = true; }

    // The command line the program is started with, after its name.
    virtual std::vector<const char *> Options() const { return {}; }

    void BeforeStart() override {
        std::vector<const char *> args = {"test_app"};
        for (const char *o : Options())
            args.push_back(o);
        ApplyStartOptions(int(args.size()), args.data());
    }
};

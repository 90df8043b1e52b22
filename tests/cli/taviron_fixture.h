// taviron against the simulated sensor: a private program folder, a sensor serving TCP on
// 127.0.0.1 and a pseudo-terminal that the folder's COM mapping names COM5, and the orders the
// sensor received. Tests run over either transport (Transport) or both.
#pragma once

#include "sim/sim.h"
#include "taviron_process.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

enum class Transport { Tcp, Serial };

class TavironTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The connection options for the sensor: --tcp 127.0.0.1:PORT, or --port COM5.
    std::vector<std::string> Connect(Transport transport) const;
    // taviron with the connection, then `args`.
    TavironRun Run(Transport transport, const std::vector<std::string> &args,
                   const std::vector<std::string> &env = {});
    // taviron with `args` alone.
    TavironRun RunAlone(const std::vector<std::string> &args,
                        const std::vector<std::string> &env = {});

    // The orders the sensor received since the last ClearOrders, in order.
    std::vector<int> Orders() const;
    void ClearOrders() { sim->clearLog(); }

    // A file in the program folder with `text` (lines as given).
    fs::path WriteFile(const std::string &name, const std::string &text) const;
    static std::string ReadFile(const fs::path &path);

    TavironFolder folder;
    std::unique_ptr<tavsim::SimSensor> sim;
};

class TavironOverEach : public TavironTest, public ::testing::WithParamInterface<Transport> {
  protected:
    TavironRun Run(const std::vector<std::string> &args, const std::vector<std::string> &env = {}) {
        return TavironTest::Run(GetParam(), args, env);
    }
};

// "Tcp" or "Serial", for test names.
std::string TransportName(const ::testing::TestParamInfo<Transport> &info);

// A TCP port of 127.0.0.1 where nothing listens now (a server started at once takes it).
int FreePort();

// The rows of a text (lines without their line ends).
std::vector<std::string> Lines(const std::string &text);

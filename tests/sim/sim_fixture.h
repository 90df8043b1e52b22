// A simulated sensor started in-process for one test, and small helpers around its replies.
#pragma once

#include "raw_client.h"
#include "sim/sim.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace simtest {

inline tavsim::SimConfig tcpConfig(uint64_t seed = 3) {
    tavsim::SimConfig c;
    c.tcpPort = 0;
    c.sensor.seed = seed;
    c.sensor.steppedClock = true;
    return c;
}

inline tavsim::SimConfig serialConfig(int baudIndex = 4, bool pace = true) {
    tavsim::SimConfig c;
    c.tcp = false;
    c.serial = true;
    c.pace = pace;
    c.sensor.baudIndex = baudIndex;
    c.sensor.steppedClock = true;
    return c;
}

inline std::unique_ptr<tavsim::SimSensor> startSim(const tavsim::SimConfig &config) {
    auto sim = std::make_unique<tavsim::SimSensor>(config);
    std::string error;
    EXPECT_TRUE(sim->start(&error)) << error;
    return sim;
}

inline std::string text(const std::vector<uint8_t> &bytes) {
    return {bytes.begin(), bytes.end()};
}

inline std::vector<uint8_t> u16s(std::initializer_list<uint16_t> values) {
    std::vector<uint8_t> out;
    for (uint16_t v : values) {
        out.push_back(uint8_t(v));
        out.push_back(uint8_t(v >> 8));
    }
    return out;
}

// Polls `condition` for up to `ms` milliseconds.
inline bool eventually(const std::function<bool()> &condition, int ms = 2000) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return condition();
}

} // namespace simtest

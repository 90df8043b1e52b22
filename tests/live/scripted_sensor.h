// A sensor that answers from a script: a TCP server on 127.0.0.1 that takes one connection and
// answers each request with the next frame of its list, optionally after a pause. For replies
// the simulated sensor never gives, such as a valid live data frame of the wrong length.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

class ScriptedSensor {
  public:
    struct Reply {
        std::vector<uint8_t> frame;
        int delayMs = 0;
    };
    explicit ScriptedSensor(std::vector<Reply> script);
    ~ScriptedSensor();
    int port() const { return port_; }
    int requests() const { return requests_; }
    std::vector<int> orders() const;

    // A reply frame with the given order and data.
    static std::vector<uint8_t> Frame(uint8_t order, const std::vector<uint8_t> &data);

  private:
    void serve();
    std::vector<Reply> script_;
    int listenFd_ = -1;
    int port_ = 0;
    int stopPipe_[2] = {-1, -1};
    std::atomic<int> requests_{0};
    mutable std::mutex mutex_;
    std::vector<int> orders_;
    std::thread thread_;
};

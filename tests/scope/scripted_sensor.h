// A stand-in sensor for replies the simulated sensor never sends (a cycle-time reply with
// N1 = 0, a record frame too short to be a record): it serves one TCP conversation on an
// ephemeral port of 127.0.0.1 and answers each request with the frames queued for its order.
#pragma once

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

class ScriptedSensor {
  public:
    ScriptedSensor();
    ~ScriptedSensor();
    int port() const { return port_; }

    // The next request with this order is answered with these frames, in this order.
    void queueReply(int order, std::vector<std::vector<std::uint8_t>> frames);
    // A reply frame with correct CRCs.
    static std::vector<std::uint8_t> frame(std::uint8_t order, std::uint16_t argument,
                                           const std::vector<std::uint8_t> &data = {});
    // The request frames received so far.
    std::vector<std::vector<std::uint8_t>> requests();

  private:
    void serve();

    int listenFd_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex mutex_;
    std::map<int, std::vector<std::vector<std::vector<std::uint8_t>>>> replies_;
    std::vector<std::vector<std::uint8_t>> requests_;
    std::thread thread_;
};

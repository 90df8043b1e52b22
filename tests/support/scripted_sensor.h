// A stand-in sensor for replies the simulated sensor never gives (a live data reply of another
// length, a cycle-time reply with N1 = 0, a record frame too short to be a record, a hardware
// block of another length). It serves one TCP conversation at a time on an ephemeral port of
// 127.0.0.1 and answers each whole request frame by its order code:
// - with the next reply queued for that order (queueReply), else
// - with the reply set for every request of that order (alwaysReply), else
// - with a bare header of the same order once acknowledgeOthers() was called, else not at all.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

class ScriptedSensor {
  public:
    using Bytes = std::vector<std::uint8_t>;

    ScriptedSensor();
    ~ScriptedSensor();
    ScriptedSensor(const ScriptedSensor &) = delete;
    ScriptedSensor &operator=(const ScriptedSensor &) = delete;

    // The port it listens on; 0 when it could not listen.
    int port() const { return port_; }

    // The next request with this order is answered with these frames, after `delayMs`.
    void queueReply(int order, std::vector<Bytes> frames, int delayMs = 0);
    // Every request with this order that has no queued reply is answered with these frames.
    void alwaysReply(int order, std::vector<Bytes> frames);
    // Requests of orders without a reply get a bare header of their order.
    void acknowledgeOthers();

    // A frame with correct CRCs.
    static Bytes frame(std::uint8_t order, std::uint16_t argument, const Bytes &data = {});

    // The request frames received so far, their count and their order codes.
    std::vector<Bytes> requests() const;
    int requestCount() const;
    std::vector<int> orders() const;

  private:
    struct Reply {
        std::vector<Bytes> frames;
        int delayMs = 0;
    };
    void serve();
    // The reply to `request`; false when it gets none.
    bool replyTo(const Bytes &request, Reply *reply);

    int listenFd_ = -1;
    int port_ = 0;
    int stopPipe_[2] = {-1, -1};
    mutable std::mutex mutex_;
    std::map<int, std::vector<Reply>> queued_;
    std::map<int, Reply> standing_;
    bool acknowledgeOthers_ = false;
    std::vector<Bytes> requests_;
    std::thread thread_;
};

// A stand-in sensor for replies the simulated sensor never gives (a live data reply of another
// length, a cycle-time reply with N1 = 0, a record frame too short to be a record, a hardware
// block of another length, a reply to another order, a line that hangs up at a chosen moment).
// It serves one TCP conversation at a time on an ephemeral port of 127.0.0.1, or a
// pseudo-terminal that the program opens as a serial port, and answers each whole request
// frame by its order code:
// - with the next reply queued for that order (queueReply), else
// - with the reply set for every request of that order (alwaysReply), else
// - with a bare header of the same order once acknowledgeOthers() was called, else not at all.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class ScriptedSensor {
  public:
    using Bytes = std::vector<std::uint8_t>;

    enum class Transport { Tcp, Serial };

    explicit ScriptedSensor(Transport transport = Transport::Tcp);
    ~ScriptedSensor();
    ScriptedSensor(const ScriptedSensor &) = delete;
    ScriptedSensor &operator=(const ScriptedSensor &) = delete;

    // The port it listens on; 0 when it could not listen (or serves a pseudo-terminal).
    int port() const { return port_; }
    // The pseudo-terminal's device the program opens; empty when it serves TCP or could not
    // make one.
    std::string serialPath() const { return serialPath_; }

    // The next request with this order is answered with these frames, after `delayMs`. A
    // "frame" is any bytes: a part of a header sent alone is a reply that stays short.
    void queueReply(int order, std::vector<Bytes> frames, int delayMs = 0);
    // Every request with this order that has no queued reply is answered with these frames.
    void alwaysReply(int order, std::vector<Bytes> frames);
    // Requests of orders without a reply get a bare header of their order.
    void acknowledgeOthers();

    // Sends `bytes` now, unasked.
    void send(Bytes bytes);
    // Ends the line from the sensor's side: the TCP conversation is closed, the pseudo-terminal
    // let go so that the program's port hangs up (as an unplugged adapter does). Returns once
    // it is done; the sensor answers nothing after it.
    void hangUp();

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
    bool openPseudoTerminal();
    void serve();
    // Reads what the program sent on `fd` and answers every whole request; false once the
    // program closed the conversation.
    bool receive(int fd, Bytes &rx);
    // The reply to `request`; false when it gets none.
    bool replyTo(const Bytes &request, Reply *reply);
    // Tells the serving thread to act (a byte into its pipe): 'x' stop, 's' send, 'h' hang up.
    void poke(char command);

    Transport transport_;
    int listenFd_ = -1;
    int port_ = 0;
    int master_ = -1;    // the pseudo-terminal's sensor side
    int slaveKeep_ = -1; // its program side, kept open so the line outlives the program's port
    std::string serialPath_;
    int commandPipe_[2] = {-1, -1};
    mutable std::mutex mutex_;
    std::map<int, std::vector<Reply>> queued_;
    std::map<int, Reply> standing_;
    bool acknowledgeOthers_ = false;
    std::vector<Bytes> requests_;
    std::deque<Bytes> unasked_; // bytes send() hands to the serving thread
    bool hungUp_ = false;
    std::condition_variable hungUpSeen_;
    std::thread thread_;
};

// One link of the simulated sensor (the TCP conversation or the serial line): finds request
// frames in the received bytes, lets the sensor answer them, commits the chosen fault, runs the
// link's recorder and hands out the reply bytes when they are due (paced at the line rate on
// the serial line, trickled when told to).
#pragma once

#include "sim/recorder.h"
#include "sim/sensor_core.h"

#include <chrono>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

namespace tavsim {

enum class LinkKind { Tcp, Serial };

class LinkSession {
  public:
    using Clock = std::chrono::steady_clock;

    // An unfinished request is dropped after this much silence.
    static constexpr std::chrono::milliseconds PartialFrameTimeout{200};

    LinkSession(SensorCore &core, LinkKind kind, bool pace);

    // A new conversation: pending input, output and recording are dropped.
    void reset();
    // Bytes from the line. `lineRate` is the serial rate the other end has set (0: unknown or
    // TCP); bytes sent at another rate than the sensor's are garbage and are dropped.
    void receive(const uint8_t *bytes, size_t count, int lineRate, Clock::time_point now);
    // Time-outs and the recorder.
    void service(Clock::time_point now);
    // The bytes due on the line at `now`; *close is set when the connection is to be closed.
    // On a serial line whose other end runs at another rate the bytes come out garbled.
    std::vector<uint8_t> takeDue(Clock::time_point now, int lineRate, bool *close);
    // When `service` / `takeDue` next have something to do.
    Clock::time_point nextWake(Clock::time_point now) const;
    bool outputPending() const { return !out_.empty(); }

  private:
    struct OutItem {
        std::vector<uint8_t> bytes;
        size_t pos = 0;
        Clock::duration perByte{0};
        Clock::time_point notBefore;
        bool started = false;
        bool closeAfter = false;
        int switchBaud = -1;
    };

    const char *name() const { return kind_ == LinkKind::Tcp ? "tcp" : "serial"; }
    Clock::duration byteTime() const; // caller holds the core's mutex
    void note(const std::string &text, const uint8_t *bytes = nullptr, size_t count = 0);
    void parse(Clock::time_point now);
    void dispatch(const FrameHeader &header, const uint8_t *data, size_t frameLength,
                  Clock::time_point now);
    void queueReply(const std::vector<uint8_t> &frame, int order, int switchBaud,
                    Clock::time_point notBefore);
    void setRecording(bool waiting);

    SensorCore &core_;
    LinkKind kind_;
    bool pace_;
    std::vector<uint8_t> rx_;
    Clock::time_point lastRx_;
    std::deque<OutItem> out_;
    Clock::time_point nextByteAt_;
    Recorder recorder_;
    bool recording_ = false;
    uint64_t noiseSeed_ = 0x9E3779B97F4A7C15ull;
};

} // namespace tavsim

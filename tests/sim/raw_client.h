// A minimal raw client for the simulated sensor in tests: a TCP socket or the slave end of the
// pseudo-terminal, plain POSIX, sending request frames and reading reply bytes with time-outs.
#pragma once

#include "protocol/frame.h"

#include <cstdint>
#include <string>
#include <vector>

namespace simtest {

std::vector<uint8_t> request(uint8_t order, uint16_t argument = 0,
                             const std::vector<uint8_t> &data = {});

struct Reply {
    bool headerOk = false; // start byte and header CRC right
    bool dataOk = false;   // all announced data arrived and their CRC is right
    FrameHeader header;
    std::vector<uint8_t> raw; // every byte read for this reply
    std::vector<uint8_t> data;
};

class RawClient {
  public:
    static RawClient tcp(int port);
    // Opens the serial device raw at `rate` baud.
    static RawClient serial(const std::string &path, int rate);
    RawClient(RawClient &&other) noexcept;
    RawClient &operator=(RawClient &&other) noexcept;
    ~RawClient();

    bool isOpen() const { return fd_ >= 0; }
    int fd() const { return fd_; }
    void setRate(int rate); // serial only
    bool send(const std::vector<uint8_t> &bytes);
    // Reads until `count` bytes have come or `timeoutMs` has passed since the call.
    std::vector<uint8_t> read(size_t count, int timeoutMs);
    // Reads whatever arrives until the line has been quiet for `quietMs`.
    std::vector<uint8_t> readQuiet(int quietMs);
    // Reads one reply: 8 header bytes, then the announced data (at most 1100 bytes), each
    // stage waiting up to `timeoutMs`.
    Reply readReply(int timeoutMs = 2000);
    Reply exchange(const std::vector<uint8_t> &frame, int timeoutMs = 2000);
    // True when the other end closed the connection within `timeoutMs`.
    bool closedByPeer(int timeoutMs);
    void close();

  private:
    explicit RawClient(int fd) : fd_(fd) {}
    int fd_ = -1;
};

} // namespace simtest

// A minimal raw client for the live benchmarks: one TCP socket, the order 8 request written and
// its reply read back to back with blocking calls, nothing else.
#pragma once

struct RawPollResult {
    long polls = 0;
    double seconds = 0;
    double cpuSeconds = 0; // CPU of the polling thread
    bool ok = true;        // every reply arrived whole
};

RawPollResult RawPollTcp(int port, double seconds);
// The same over a serial device opened raw at 115200 baud.
RawPollResult RawPollSerial(const char *device, double seconds);

// The paced serial line's limit at 115200 baud: 44 bytes (8 request + 36 reply) of 10 bits a
// pass.
constexpr double kSerialLineLimit = 115200.0 / (44 * 10);
// A raw client on the device for `seconds`, its rate printed against that limit, for reference.
RawPollResult RawPollSerialReference(const char *device, double seconds);

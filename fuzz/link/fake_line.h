// The sensor's side of the line for the receive-path fuzz target: the bytes the fuzzer chose
// as the sensor's replies, handed to the program in chunks as the runtime would deliver them,
// and the runtime operations the exchange calls, each checking that it only touches the
// program's own buffers.
#pragma once

#include <cstddef>
#include <cstdint>

struct FakeLine {
    const uint8_t *bytes = nullptr; // the reply stream
    size_t size = 0;
    size_t sent = 0;  // bytes that have reached the PC so far
    size_t taken = 0; // bytes the program has read (serial) or been handed (TCP)
    size_t chunk = 1; // bytes that arrive per event pass
    bool tcp = false;
    int readErrorEvery = 0; // TCP: every n-th read fails (0: never)
    int lineErrorEvery = 0; // serial: every n-th status read reports a line error
    size_t closeAt = 0;     // TCP: the server closes once this many bytes arrived (0: never)
    bool closed = false;
    int reads = 0, statusReads = 0;
    double clock = 0; // the runtime's timer, in seconds
};

extern FakeLine g_line;

// Aborts (a fuzzer finding) unless [p, p + n) lies inside the program's receive buffer.
void CheckInsideRxBuf(const void *p, size_t n);

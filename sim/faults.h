// Faults the simulated sensor can be told to commit on its replies, and what each one does to
// the bytes of a correct reply frame.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavsim {

enum class FaultKind {
    None,
    NoReply,      // "noreply": the reply is not sent
    BadHeaderCrc, // "hcrc": header CRC byte inverted
    BadDataCrc,   // "dcrc": data CRC byte inverted, header CRC made to match
    BadStartByte, // "start": start byte 0x5A, header CRC made to match
    ErrorOrder,   // "err1": error reply with argument 1 instead of the reply
    ErrorLine,    // "err2": error reply with argument 2 instead of the reply
    ShortData,    // "short": fewer data bytes than the header announces
    LongLength,   // "long": header announces 1100 data bytes and 1100 bytes follow
    Garbage,      // "garbage": 16 bytes of noise instead of the reply
    Trickle,      // "trickle": the reply byte by byte, trickleMs apart
    Close,        // "close": TCP connection closed instead of the reply (serial: no reply)
};

struct FaultSetting {
    FaultKind kind = FaultKind::None;
    int count = 1;      // replies affected; 0 = every reply until the fault is cleared
    int order = -1;     // only replies to this order (-1: any; 110 covers the record frame)
    int trickleMs = 20; // pause between bytes for Trickle
    int skip = 0;       // matching replies sent correctly before the fault starts
};

constexpr int LongLengthAnnounced = 1100;
constexpr int GarbageLength = 16;

const char *faultName(FaultKind kind);
bool parseFaultKind(const std::string &name, FaultKind *kind);

// What goes on the line in place of `frame` (a correct reply frame).
struct FaultedReply {
    std::vector<uint8_t> bytes;
    bool close = false; // close the connection after `bytes`
};
FaultedReply applyFault(FaultKind kind, const std::vector<uint8_t> &frame, uint64_t noiseSeed);

} // namespace tavsim

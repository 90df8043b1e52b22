// Fault names and the damage each fault does to a reply frame.
#include "sim/faults.h"

#include "protocol/frame.h"

namespace tavsim {

namespace {

struct NamedFault {
    FaultKind kind;
    const char *name;
};
const NamedFault Names[] = {
    {FaultKind::None, "off"},           {FaultKind::NoReply, "noreply"},
    {FaultKind::BadHeaderCrc, "hcrc"},  {FaultKind::BadDataCrc, "dcrc"},
    {FaultKind::BadStartByte, "start"}, {FaultKind::ErrorOrder, "err1"},
    {FaultKind::ErrorLine, "err2"},     {FaultKind::ShortData, "short"},
    {FaultKind::LongLength, "long"},    {FaultKind::Garbage, "garbage"},
    {FaultKind::Trickle, "trickle"},    {FaultKind::Close, "close"},
};

std::vector<uint8_t> errorFrame(uint16_t code) {
    std::vector<uint8_t> f(FrameHeaderSize);
    frameBuild(f.data(), int(f.size()), OrderErrorReply, code, nullptr, 0);
    return f;
}

// Header with the given fields and a header CRC that matches them.
void writeHeader(uint8_t *h, uint8_t start, uint8_t order, uint16_t argument, uint16_t length,
                 uint8_t dataCrc) {
    h[0] = start;
    h[1] = order;
    putU16(h + 2, argument);
    putU16(h + 4, length);
    h[6] = dataCrc;
    h[7] = crc8Update(h, 0, 7, Crc8Table);
}

} // namespace

const char *faultName(FaultKind kind) {
    for (const NamedFault &n : Names)
        if (n.kind == kind) return n.name;
    return "?";
}

bool parseFaultKind(const std::string &name, FaultKind *kind) {
    for (const NamedFault &n : Names)
        if (name == n.name) {
            *kind = n.kind;
            return true;
        }
    return false;
}

FaultedReply applyFault(FaultKind kind, const std::vector<uint8_t> &frame, uint64_t noiseSeed) {
    FaultedReply r;
    r.bytes = frame;
    const int length = int(frame.size()) - FrameHeaderSize;
    switch (kind) {
    case FaultKind::None:
    case FaultKind::Trickle:
        break;
    case FaultKind::NoReply:
        r.bytes.clear();
        break;
    case FaultKind::Close:
        r.bytes.clear();
        r.close = true;
        break;
    case FaultKind::BadHeaderCrc:
        r.bytes[7] ^= 0xFF;
        break;
    case FaultKind::BadDataCrc:
        writeHeader(r.bytes.data(), FrameStartByte, frame[1], getU16(&frame[2]), uint16_t(length),
                    uint8_t(frame[6] ^ 0xFF));
        break;
    case FaultKind::BadStartByte:
        writeHeader(r.bytes.data(), 0x5A, frame[1], getU16(&frame[2]), uint16_t(length), frame[6]);
        break;
    case FaultKind::ErrorOrder:
        r.bytes = errorFrame(ErrorInvalidOrder);
        break;
    case FaultKind::ErrorLine:
        r.bytes = errorFrame(ErrorLine);
        break;
    case FaultKind::ShortData:
        if (length >= 2) {
            r.bytes.resize(size_t(FrameHeaderSize + length / 2)); // half of the announced data
        } else {
            // Nothing to shorten: announce 8 bytes more than follow.
            uint8_t crc = frameDataCrc(frame.data() + FrameHeaderSize, length);
            writeHeader(r.bytes.data(), FrameStartByte, frame[1], getU16(&frame[2]),
                        uint16_t(length + 8), crc);
        }
        break;
    case FaultKind::LongLength: {
        r.bytes.resize(size_t(FrameHeaderSize + LongLengthAnnounced), 0xEE);
        uint8_t crc = crc8Update(r.bytes.data(), FrameHeaderSize, LongLengthAnnounced, Crc8Table);
        writeHeader(r.bytes.data(), FrameStartByte, frame[1], getU16(&frame[2]),
                    uint16_t(LongLengthAnnounced), crc);
        break;
    }
    case FaultKind::Garbage: {
        r.bytes.resize(GarbageLength);
        uint64_t x = noiseSeed | 1;
        for (uint8_t &b : r.bytes) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            b = uint8_t(x >> 24);
        }
        if (r.bytes[0] == FrameStartByte) r.bytes[0] = 0x00;
        break;
    }
    }
    return r;
}

} // namespace tavsim

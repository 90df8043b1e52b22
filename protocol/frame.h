// The sensor's message frame: CRC-8 (Dallas/Maxim table, initial value 0xAA), the 8-byte
// little-endian header, the order codes, and the byte helpers to build and check frames.
// Pure functions without state; the program's exchange code and the simulated sensor share them.
#pragma once

#include <cstdint>

// CRC-8/MAXIM-DOW table: polynomial x^8 + x^5 + x^4 + 1, reflected (0x8C), no final XOR.
extern const uint8_t Crc8Table[256];

// Initial value of every CRC of the frame (the data CRC of an empty frame is this value).
constexpr uint8_t Crc8Init = 0xAA;

// CRC-8 with initial value 0xAA over `count` bytes of `buffer` from index `start`.
uint8_t crc8Update(const uint8_t *buffer, int start, int count, const uint8_t *table);

// Frame layout.
constexpr uint8_t FrameStartByte = 0x55;
constexpr int FrameHeaderSize = 8;
constexpr int FrameMaxData = 1016;
constexpr int FrameMaxSize = FrameHeaderSize + FrameMaxData; // 1024

// Order codes. Order 0 in a reply marks an error reply.
constexpr uint8_t OrderErrorReply = 0;
constexpr uint8_t OrderSendPara = 1;         // write the working (RAM) parameter set
constexpr uint8_t OrderGetPara = 2;          // read the working parameter set
constexpr uint8_t OrderStoreEeprom = 3;      // store the working set in EEPROM
constexpr uint8_t OrderLoadEeprom = 4;       // load the EEPROM set into the working set
constexpr uint8_t OrderFirmware = 7;         // firmware identification text
constexpr uint8_t OrderLiveData = 8;         // the 28-byte live values
constexpr uint8_t OrderSensorId = 15;        // sensor name, serial number as argument
constexpr uint8_t OrderCycleTime = 105;      // scan cycle counts N0, N1
constexpr uint8_t OrderScope = 110;          // argument 1: start a recording, 0: break it
constexpr uint8_t OrderChangeBaudrate = 190; // argument: baud-rate index 0..7
constexpr uint8_t OrderHardwareInfo = 194;   // 512-byte hardware block, needs HardwareInfoKey

constexpr uint16_t HardwareInfoKey = 0x3C5A;

// Arguments of an error reply.
constexpr uint16_t ErrorInvalidOrder = 1;
constexpr uint16_t ErrorLine = 2;

// Fields of a checked header.
struct FrameHeader {
    uint8_t order = 0;
    uint16_t argument = 0;
    uint16_t length = 0;
    uint8_t dataCrc = 0;
};

// Little-endian helpers.
inline uint16_t getU16(const uint8_t *p) {
    return uint16_t(p[0] | (p[1] << 8));
}
inline uint32_t getU32(const uint8_t *p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline void putU16(uint8_t *p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void putU32(uint8_t *p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = uint8_t(v >> (8 * i));
}

// Data CRC of a frame: 0xAA for no data, else the CRC-8 of the data.
uint8_t frameDataCrc(const uint8_t *data, int length);

// Writes header and data into `out` (room for `outSize` bytes) and returns the frame length,
// or -1 when the data are longer than FrameMaxData or do not fit. `data` may be null when
// `length` is 0, and may point into `out + FrameHeaderSize` (the data are then left in place).
int frameBuild(uint8_t *out, int outSize, uint8_t order, uint16_t argument, const uint8_t *data,
               int length);

// Checks a received 8-byte header: start byte 0x55 and the CRC-8 over all 8 bytes is 0.
// On success fills *header (when not null) and returns true; otherwise leaves it untouched.
bool frameCheckHeader(const uint8_t *bytes, FrameHeader *header);

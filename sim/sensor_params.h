// The simulated sensor's parameter set: the four values, their plausibility check, the 8-byte
// block of orders 1 and 2, the baud-rate table, and the EEPROM image kept in a small text file.
#pragma once

#include <cstdint>
#include <string>

namespace tavsim {

struct ParamSet {
    uint16_t strokeTolerance = 50; // +/- tolerance of the stroke, per mille of the period
    uint16_t badCntToFail = 25;    // faults in a row before OUT0/OUT1 switch
    uint16_t digitalOutmode = 0;   // 0 = DIRECT (active high), 1 = INVERSE (active low)
    uint16_t cntStrokeEdge = 0;    // 0 = rising edge of the stroke pulse, 1 = falling edge
    bool operator==(const ParamSet &) const = default;
};

// Bits of the plausibility result, one per parameter; 0 means the set is plausible.
constexpr uint16_t PlausibleStrokeTolerance = 1; // 1..500
constexpr uint16_t PlausibleBadCntToFail = 2;    // 1..9999
constexpr uint16_t PlausibleOutmode = 4;         // 0 or 1
constexpr uint16_t PlausibleStrokeEdge = 8;      // 0 or 1

uint16_t plausibilityFaults(const ParamSet &set);

void encodeParams(const ParamSet &set, uint8_t out[8]);
ParamSet decodeParams(const uint8_t in[8]);

// Baud rate of an index 0..7 (9600 .. 921600), 0 for any other index.
int baudRateOf(int index);
// Index of a baud rate, -1 when the rate is not one of the eight.
int baudIndexOf(int rate);
constexpr int DefaultBaudIndex = 4; // 115200

// What the sensor keeps over a power cycle.
struct EepromImage {
    ParamSet params;
    int baudIndex = DefaultBaudIndex;
};

// Reads the image from a text file of "key=value" lines; false when the file cannot be read
// (the image is then left as it was). Unknown keys are ignored, values are not checked here.
bool loadEeprom(const std::string &path, EepromImage *image);
// Writes the image through a temporary file that then replaces the old one.
bool saveEeprom(const std::string &path, const EepromImage &image);

} // namespace tavsim

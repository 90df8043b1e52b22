// Parameter plausibility, the parameter block and the EEPROM file of the simulated sensor.
#include "sim/sensor_params.h"

#include "protocol/frame.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tavsim {

namespace {
const int BaudRates[8] = {9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600};
}

uint16_t plausibilityFaults(const ParamSet &set) {
    uint16_t faults = 0;
    if (set.strokeTolerance < 1 || set.strokeTolerance > 500) faults |= PlausibleStrokeTolerance;
    if (set.badCntToFail < 1 || set.badCntToFail > 9999) faults |= PlausibleBadCntToFail;
    if (set.digitalOutmode > 1) faults |= PlausibleOutmode;
    if (set.cntStrokeEdge > 1) faults |= PlausibleStrokeEdge;
    return faults;
}

void encodeParams(const ParamSet &set, uint8_t out[8]) {
    putU16(out, set.strokeTolerance);
    putU16(out + 2, set.badCntToFail);
    putU16(out + 4, set.digitalOutmode);
    putU16(out + 6, set.cntStrokeEdge);
}

ParamSet decodeParams(const uint8_t in[8]) {
    return ParamSet{getU16(in), getU16(in + 2), getU16(in + 4), getU16(in + 6)};
}

int baudRateOf(int index) {
    return index >= 0 && index < 8 ? BaudRates[index] : 0;
}

int baudIndexOf(int rate) {
    for (int i = 0; i < 8; ++i)
        if (BaudRates[i] == rate) return i;
    return -1;
}

bool loadEeprom(const std::string &path, EepromImage *image) {
    std::ifstream in(path);
    if (!in) return false;
    EepromImage read = *image;
    std::string line;
    while (std::getline(in, line)) {
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        std::string key = line.substr(0, eq);
        long value = std::strtol(line.c_str() + eq + 1, nullptr, 10);
        uint16_t v = uint16_t(value);
        if (key == "StrokeTolerance")
            read.params.strokeTolerance = v;
        else if (key == "BadCntToFail")
            read.params.badCntToFail = v;
        else if (key == "DigitalOutmode")
            read.params.digitalOutmode = v;
        else if (key == "CntStrokeEdge")
            read.params.cntStrokeEdge = v;
        else if (key == "BaudrateIndex")
            read.baudIndex = int(value);
    }
    *image = read;
    return true;
}

bool saveEeprom(const std::string &path, const EepromImage &image) {
    std::ostringstream text;
    text << "# EEPROM of the simulated TAVIRON sensor\n"
         << "StrokeTolerance=" << image.params.strokeTolerance << "\n"
         << "BadCntToFail=" << image.params.badCntToFail << "\n"
         << "DigitalOutmode=" << image.params.digitalOutmode << "\n"
         << "CntStrokeEdge=" << image.params.cntStrokeEdge << "\n"
         << "BaudrateIndex=" << image.baudIndex << "\n";
    std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out) return false;
        out << text.str();
        out.flush();
        if (!out) return false;
    }
    return std::rename(tmp.c_str(), path.c_str()) == 0;
}

} // namespace tavsim

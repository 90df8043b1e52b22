// Baud rates, the typed TCP port number and the firmware text parts.
#include "link/link_codes.h"

#include <climits>

long BaudRateFromIndex(int index) {
    static const long kRates[] = {9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600};
    return index >= 0 && index < 8 ? kRates[index] : 115200;
}

int PortNumberFromText(const char *text) {
    if (!text) return 0;
    while (*text == ' ' || *text == '\t')
        ++text;
    long long value = 0;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > INT_MAX) return INT_MAX;
    }
    return int(value);
}

FirmwareParts SplitFirmwareText(const char *text) {
    FirmwareParts p;
    std::string s = text ? text : "";
    std::size_t dot1 = s.find('.');
    p.a = s.substr(0, dot1);
    if (dot1 == std::string::npos) return p;
    std::size_t dot2 = s.find('.', dot1 + 1);
    p.b = s.substr(dot1 + 1, dot2 == std::string::npos ? std::string::npos : dot2 - dot1 - 1);
    if (dot2 == std::string::npos) return p;
    std::size_t blank = s.find(' ', dot2 + 1);
    p.c = s.substr(dot2 + 1, blank == std::string::npos ? std::string::npos : blank - dot2 - 1);
    if (blank == std::string::npos) return p;
    p.d = s.substr(blank + 1);
    return p;
}

std::string FirmwareVersionOf(const FirmwareParts &parts) {
    return parts.a + "." + parts.b;
}

std::string FirmwareDisplayOf(const FirmwareParts &parts) {
    // One blank between version and date: run together, "V1.0" and "31.12.2026" would read
    // as a version 1.031.
    std::string shown = parts.a + "." + parts.b;
    if (!parts.d.empty()) shown += " " + parts.d;
    return shown;
}

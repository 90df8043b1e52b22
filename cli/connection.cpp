// Parsing and naming of connections (see connection.h).
#include "cli/connection.h"

#include "link/link_codes.h"
#include "platform/core/ports.h"

#include <cctype>
#include <cstring>

namespace {

// Decimal digits only, at least one, value within 1..maximum.
bool ParseNumber(const char *text, long maximum, long *value) {
    if (!text || !*text) return false;
    long v = 0;
    for (const char *p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return false;
        v = v * 10 + (*p - '0');
        if (v > maximum) return false;
    }
    if (v < 1) return false;
    *value = v;
    return true;
}

} // namespace

bool ParsePortText(const char *text, int *port) {
    if (!text) return false;
    if (std::strlen(text) > 3 && std::toupper(static_cast<unsigned char>(text[0])) == 'C' &&
        std::toupper(static_cast<unsigned char>(text[1])) == 'O' &&
        std::toupper(static_cast<unsigned char>(text[2])) == 'M')
        text += 3;
    long value = 0;
    if (!ParseNumber(text, kMaxComPort, &value)) return false;
    *port = int(value);
    return true;
}

bool ParseTcpText(const char *text, std::string *host, int *port, int defaultPort) {
    if (!text) return false;
    std::string s = text;
    std::string name;
    std::string number;
    if (!s.empty() && s[0] == '[') {
        const std::size_t close = s.find(']');
        if (close == std::string::npos) return false;
        name = s.substr(1, close - 1);
        std::string rest = s.substr(close + 1);
        if (!rest.empty()) {
            if (rest[0] != ':') return false;
            number = rest.substr(1);
            if (number.empty()) return false;
        }
    } else {
        const std::size_t colon = s.rfind(':');
        if (colon != std::string::npos && s.find(':') != colon) return false; // bare IPv6
        name = colon == std::string::npos ? s : s.substr(0, colon);
        if (colon != std::string::npos) {
            number = s.substr(colon + 1);
            if (number.empty()) return false;
        }
    }
    if (name.empty()) return false;
    for (char c : name)
        if (std::isspace(static_cast<unsigned char>(c)) ||
            std::iscntrl(static_cast<unsigned char>(c)))
            return false;
    long value = defaultPort;
    if (!number.empty() && !ParseNumber(number.c_str(), 65535, &value)) return false;
    *host = name;
    *port = int(value);
    return true;
}

bool ParseBaudText(const char *text, long *baud) {
    long value = 0;
    if (!ParseNumber(text, 10000000, &value)) return false;
    for (int index = 0; index < 8; ++index)
        if (BaudRateFromIndex(index) == value) {
            *baud = value;
            return true;
        }
    return false;
}

int BaudIndexOf(long baud) {
    for (int index = 0; index < 8; ++index)
        if (BaudRateFromIndex(index) == baud) return index;
    return 4;
}

std::string ConnectionText(const Connection &c) {
    switch (c.kind) {
    case LinkKind::Port:
        return "COM" + std::to_string(c.port);
    case LinkKind::Device:
        return c.device;
    case LinkKind::Tcp:
        if (c.host.find(':') != std::string::npos)
            return "[" + c.host + "]:" + std::to_string(c.tcpPort);
        return c.host + ":" + std::to_string(c.tcpPort);
    case LinkKind::None:
        break;
    }
    return "";
}

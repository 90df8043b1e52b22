// How taviron reaches one sensor: a COM number (mapped to a device as the program maps it), a
// serial device path, or a TCP server, and the serial line's baud rate. Parsed from the command
// line and from the sensor list alike.
#pragma once

#include <string>

enum class LinkKind { None, Port, Device, Tcp };

constexpr long kDefaultBaud = 115200;
constexpr int kDefaultTcpPort = 5000; // the sensor's TCP server

struct Connection {
    LinkKind kind = LinkKind::None;
    int port = 0;             // COM number, 1..255 (Port)
    std::string device;       // serial device path (Device)
    std::string host;         // server name or address (Tcp)
    int tcpPort = 0;          // 1..65535 (Tcp)
    long baud = kDefaultBaud; // one of the sensor's eight rates (Port, Device)
};

// "COM3", "com3" or "3": true with the number (1..255) set.
bool ParsePortText(const char *text, int *port);
// "HOST:PORT", "[IPv6]:PORT", or "HOST" alone for `defaultPort` (the sensor's 5000 unless
// another server is meant): true with both set.
bool ParseTcpText(const char *text, std::string *host, int *port,
                  int defaultPort = kDefaultTcpPort);
// A rate the sensor can run at (9600, 19200, 38400, 57600, 115200, 230400, 460800, 921600):
// true with the rate set.
bool ParseBaudText(const char *text, long *baud);
// The index 0..7 of a rate for the link (BaudrateIndex); 4 (115200) for any other rate.
int BaudIndexOf(long baud);

// How a person names the connection: "COM3", "/dev/ttyUSB0", "press4:5000", "[::1]:5000".
std::string ConnectionText(const Connection &connection);

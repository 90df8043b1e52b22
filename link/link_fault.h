// How the link says that something went wrong: a failure code with what the operator needs
// to know about it (the port or server, the system's reason, the sensor's number), never a
// text and never a panel. A failure marks the link failed and goes to the one handler the
// program installs (the window program shows it with SetTimeout; a program without a window
// prints it); the texts of the codes are the program's.
#pragma once

#include <string>

enum class LinkError {
    None = 0,
    Timeout,        // no reply, or not all of it, within the wait; or a serial line error
    HeaderCrc,      // a reply header with a wrong CRC or start byte, or one to another order
    DataCrc,        // reply data with a wrong CRC, or more or fewer than a reply can have
    InvalidOrder,   // the sensor's error reply 1: it does not know the order
    LineError,      // the sensor's error reply 2: it received the request garbled
    SensorError,    // the sensor's error reply with another number (in `number`)
    ServerClosed,   // the TCP server ended the conversation
    DeviceGone,     // the serial device went away while it was open
    SensorRejected, // the sensor's plausibility check refused the parameters written
    SerialOpen,     // the serial port could not be opened
    TcpConnect,     // the TCP server could not be reached
};

struct LinkFault {
    LinkError code = LinkError::None;
    // SerialOpen, TcpConnect: the platform's result (OpenComConfig, ConnectToTCPServerEx);
    // SensorRejected, SensorError: the sensor's number in its reply.
    int number = 0;
    std::string where;      // the port and its device, or server:port (opening, device gone)
    int reason = 0;         // why an open failed (platform/core/rs232.h, tcp.h reasons)
    std::string systemText; // the system's own words for that reason
};

// Marks the link failed (Running, LinkOk and ScanRunning 0: the live cycle and a waiting
// recording end), keeps the fault for LastLinkFault and hands it to the handler. Returns -1,
// the failure result of every sensor operation.
int LinkFailure(const LinkFault &fault);
int LinkFailure(LinkError code);

// The last failure; code None before the first. How many failures there have been.
const LinkFault &LastLinkFault();
int LinkFailureCount();

// The program's handler of every failure (null: none, the link only marks itself failed).
using LinkFailureHandler = void (*)(const LinkFault &fault);
void SetLinkFailureHandler(LinkFailureHandler handler);

// The TCP server sends more than was asked for; the link drops it. Said once a conversation,
// with the bytes dropped so far, to the handler the program installs (null: none).
using LinkFloodHandler = void (*)(unsigned long long droppedBytes);
void SetLinkFloodHandler(LinkFloodHandler handler);
void LinkFlood(unsigned long long droppedBytes);

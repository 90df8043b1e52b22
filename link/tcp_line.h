// The TCP conversation as the link's byte line (TcpHandle), on the platform's TCP library,
// and its data callback.
#pragma once

#include "link/byte_line.h"

#include <string>

// The link's TCP line: the conversation TcpHandle, while TcpConnected.
ByteLine &TcpLine();

// Connects to `server` (name or address) at `port` as the link's TCP line (the busy cursor
// shows while it waits, up to 5 s); TcpHandle and TcpConnected follow. Returns 0, or
// ConnectToTCPServerEx's negative result after a TcpConnect failure naming server:port and
// the system's reason.
int OpenTcpLine(const char *server, int port);

// Ends the conversation that is open, then connects to IpAddress:PortNumber and sets
// LinkResult.
void InitTCP_IP();

// The TCP callback: the server closing the conversation is reported once (ServerClosed) and
// clears TcpHandle and TcpConnected; arrived data go to the line's receive queue, which holds
// what one exchange needs (the bytes beyond it are read and dropped, and said once a
// conversation when they become a flood). Returns 0.
int ClientTCPCB(unsigned int handle, int event, int error, void *callbackData);

// TCP client conversations by handle: connect with a time-out, write, read, disconnect, and a
// callback that hears of arriving data and of the server closing the conversation.
//
// The callback runs on the user-interface thread as soon as the event loop (RunUserInterface
// or ProcessSystemEvents) sees the bytes arrive. A callback that sends a request and waits for
// its answer inside itself is called again, nested, for that answer.
#pragma once

// Callback events.
enum { TCP_DISCONNECT = 2, TCP_DATAREADY = 3 };

using tcpFuncPtr = int (*)(unsigned int handle, int event, int error, void *callbackData);

// Results.
enum {
    kTcpErrRegister = -1,
    kTcpErrEstablish = -2,       // the server name cannot be resolved
    kTcpErrFailedToConnect = -4, // refused, unreachable
    kTcpErrTooManyConversations = -6,
    kTcpErrRead = -7,
    kTcpErrWrite = -8,
    kTcpErrInvalidParameter = -9, // empty server name, port 0 or above 65535, no buffer
    kTcpErrTimeout = -11,
    kTcpErrNotConnected = -12, // unknown handle
    kTcpErrIo = -13,
    kTcpErrClosed = -14, // the server closed the conversation
};

// Why the last ConnectToTCPServerEx failed, in terms an operator can act on.
enum TcpConnectReason {
    kTcpReasonNone = 0,
    kTcpReasonRefused,         // nobody accepts connections at that port
    kTcpReasonUnreachable,     // no route to the host, network down
    kTcpReasonNameNotResolved, // the server name is unknown
    kTcpReasonTimedOut,        // no answer within the time-out
    kTcpReasonOther,           // see the system's own text
};

// Connects to `server` (name or address) at `port`, waiting up to `timeoutMs` while events
// keep being processed. Returns 0 with *handle set (never 0), or a negative code.
// `localPort` 0 lets the system choose.
int ConnectToTCPServerEx(unsigned int *handle, unsigned int port, const char *server,
                         tcpFuncPtr callback, void *callbackData, unsigned int timeoutMs,
                         unsigned int localPort);
// The reason of the last failed ConnectToTCPServerEx, and the system's own text for it into
// `systemText` (may be null). kTcpReasonNone after a connection that succeeded.
int GetTCPConnectReason(char *systemText, int size);
// Closes the conversation; its callback is not called any more. 0 or kTcpErrNotConnected.
int DisconnectFromTCPServer(unsigned int handle);
// Closes every conversation still open, without callbacks (the end of the user-interface
// runtime, platform/ui.h).
void CloseAllTCPConversations();
// Sends `count` bytes, waiting up to `timeoutMs` until they are out. Returns the number of
// bytes sent or a negative code.
int ClientTCPWrite(unsigned int handle, const void *buffer, unsigned int count,
                   unsigned int timeoutMs);
// Reads up to `count` bytes; when none have arrived yet it waits up to `timeoutMs` for some.
// Returns the number read (0 when `count` is 0) or a negative code.
int ClientTCPRead(unsigned int handle, void *buffer, unsigned int count, unsigned int timeoutMs);

// For tests: the bytes a conversation holds that the program has not read yet (-1: no such
// handle).
long long TestTcpBuffered(unsigned int handle);

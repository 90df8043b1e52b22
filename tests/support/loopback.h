// TCP sockets on 127.0.0.1 for the stand-ins the tests put between the program and a sensor:
// a listener on a port the system chooses, and a connection to a port.
#pragma once

// A listening socket on an ephemeral port of 127.0.0.1, its port in `*port`; -1 on failure.
int ListenOnLoopback(int *port);

// A connected socket to `port` on 127.0.0.1; -1 on failure.
int ConnectToLoopback(int port);

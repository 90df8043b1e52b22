// The simulated sensor's TCP side: a server on one address and port that talks to one client
// at a time and accepts the next one after a disconnect.
#pragma once

#include "sim/sensor_core.h"

#include <string>

namespace tavsim {

class TcpServer {
  public:
    TcpServer(SensorCore &core, std::string address, int port);
    ~TcpServer();
    // Binds and listens; port 0 picks a free port, readable afterwards with port().
    bool open(std::string *error);
    int port() const { return port_; }
    // Serves clients until `stopFd` becomes readable.
    void run(int stopFd);

  private:
    SensorCore &core_;
    std::string address_;
    int port_;
    int listenFd_ = -1;
};

} // namespace tavsim

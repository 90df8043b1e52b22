// The simulated sensor's serial side: a pseudo-terminal whose slave end the front end opens as
// its COM port. The sensor keeps a slave descriptor of its own open so that the line survives
// the front end closing and reopening the port (as a real cable would).
#pragma once

#include "sim/sensor_core.h"

#include <string>

namespace tavsim {

class PtyLine {
  public:
    PtyLine(SensorCore &core, bool pace);
    ~PtyLine();
    // Creates the pseudo-terminal; the slave starts raw at the sensor's current rate.
    bool open(std::string *error);
    const std::string &slavePath() const { return slavePath_; }
    // Serves the line until `stopFd` becomes readable.
    void run(int stopFd);

    // The rate the slave end is set to, read through any descriptor of the pair (on Linux the
    // master reports the slave's settings); 0 when it cannot be read.
    static int lineRate(int fd);

  private:
    SensorCore &core_;
    bool pace_;
    int master_ = -1;
    int slaveKeep_ = -1;
    std::string slavePath_;
};

} // namespace tavsim

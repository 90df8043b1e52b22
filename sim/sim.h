// The simulated TAVIRON sensor as a whole: the shared sensor with its press, a TCP server and a
// serial line on a pseudo-terminal, each served by its own thread. Tests start it in-process;
// the program taviron-sim wraps it. Every method may be called from any thread.
#pragma once

#include "sim/faults.h"
#include "sim/press_model.h"
#include "sim/request_log.h"
#include "sim/sensor_core.h"
#include "sim/sensor_params.h"

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace tavsim {

struct SimConfig {
    SensorSetup sensor;
    bool tcp = true;
    std::string tcpAddress = "127.0.0.1";
    int tcpPort = 5000; // 0: a free port, see tcpPort()
    bool serial = false;
    bool pace = true;   // serial bytes at the line rate (10 bits a byte)
    FaultSetting fault; // fault active from the start
};

class SimSensor {
  public:
    explicit SimSensor(SimConfig config = {});
    ~SimSensor();
    SimSensor(const SimSensor &) = delete;
    SimSensor &operator=(const SimSensor &) = delete;

    // Opens the transports and starts their threads; false with *error set on failure.
    bool start(std::string *error = nullptr);
    void stop();

    int tcpPort() const;
    std::string serialPath() const;

    // Run-time control.
    void setFault(const FaultSetting &setting);
    void clearFault() { setFault(FaultSetting{}); }
    // How the sensor takes parameter sets from now on (SensorFlaws{}: as it should).
    void setFlaws(const SensorFlaws &flaws);
    void setFirmware(const std::string &text);
    void setIn0(bool high);
    void setPressRunning(bool running);
    void setStrokeOffset(int32_t us);
    void setOutlierProbability(double p);
    void setMissingStrokeProbability(double p);
    void advanceModelTime(uint64_t us); // runs the press model forward (stepped clock)
    void setEepromParams(const ParamSet &params);
    // Sets the working set as it is, unchecked: a sensor whose firmware knows values the PC
    // program does not.
    void setRamParams(const ParamSet &params);

    // State.
    ParamSet ramParams() const;
    EepromImage eeprom() const;
    SensorFlaws flaws() const;
    int baudIndex() const;
    bool recordingWaiting() const;
    LiveValues liveValues() const;
    std::string status() const;

    // The log: all entries, or only the frames received.
    std::vector<LogEntry> log() const;
    std::vector<LogEntry> requests() const;
    void clearLog();
    void setLogSink(std::function<void(const LogEntry &)> sink);

  private:
    SimConfig config_;
    std::unique_ptr<SensorCore> core_;
    struct Transports;
    std::unique_ptr<Transports> transports_;
    std::vector<std::thread> threads_;
    int stopPipe_[2] = {-1, -1};
};

} // namespace tavsim

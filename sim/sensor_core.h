// The simulated sensor's shared state and its answer to each order: identity, parameter sets
// and EEPROM, the press model, the baud rate, the fault to commit and the log. One instance
// serves every link; callers hold `mutex` around every call except those to `log`.
#pragma once

#include "protocol/frame.h"
#include "sim/faults.h"
#include "sim/press_model.h"
#include "sim/recorder.h"
#include "sim/request_log.h"
#include "sim/sensor_params.h"

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace tavsim {

struct SensorSetup {
    std::string firmware = "TAVIRON V1.0.3 2026-11-28";
    std::string sensorName = "TAVIRON PS-1";
    uint16_t serialNumber = 4711;
    uint64_t seed = 1;
    bool steppedClock = false; // model time moves one press cycle per live-data request
    double outlierProbability = 0.01;
    double missingStrokeProbability = 0.002;
    std::string eepromFile; // empty: the EEPROM lives only as long as the sensor
    int baudIndex = -1;     // -1: the rate stored in the EEPROM
};

// Counts of the cycle-time reply: N0 scan cycles counted in N1 tenths of a millisecond.
constexpr int32_t CycleTimeWindow = 80000; // 8 seconds

// Ways a sensor can take a parameter set without saying so: a firmware that keeps another value
// than the one sent, an EEPROM that does not keep what it was told to store. The replies stay
// correct frames; only what is read back later tells.
struct SensorFlaws {
    int strokeToleranceSkew = 0;  // order 1 keeps STROKE TOLERANCE this much off (-1: 49 for 50)
    bool eepromStoreLost = false; // order 3 answers as usual and keeps the old EEPROM set
    bool operator==(const SensorFlaws &) const = default;
};

struct Answer {
    std::vector<uint8_t> frame;
    int switchBaud = -1; // switch to this index once the reply is out
    enum { NoScope, StartScope, BreakScope } scope = NoScope;
    ScopeSettings scopeSettings;
};

class SensorCore {
  public:
    explicit SensorCore(const SensorSetup &setup);

    std::mutex mutex;

    // The reply to a request whose header and data CRC were right.
    Answer answer(const FrameHeader &header, const uint8_t *data);
    static std::vector<uint8_t> errorReply(uint16_t code);

    // Model time now: the wall clock since start, or the stepped clock as it stands.
    uint64_t modelTime();
    bool steppedClock() const { return setup_.steppedClock; }
    PressModel &model() { return model_; }

    int baudIndex() const { return baudIndex_; }
    void setBaudIndex(int index) { baudIndex_ = index; }

    bool in0() const { return in0_; }
    void setIn0(bool high) { in0_ = high; }

    void setFirmware(const std::string &text) { setup_.firmware = text; }
    const std::string &firmware() const { return setup_.firmware; }

    const ParamSet &ram() const { return ram_; }
    const EepromImage &eeprom() const { return eeprom_; }
    // Writes the EEPROM image as it is, without a plausibility check (to test order 4).
    void setEepromParams(const ParamSet &params);
    // Sets the working set as it is, without a plausibility check.
    void setRamParams(const ParamSet &params) { setRam(params); }

    void setFault(const FaultSetting &setting);
    const FaultSetting &fault() const { return fault_; }
    void setFlaws(const SensorFlaws &flaws) { flaws_ = flaws; }
    const SensorFlaws &flaws() const { return flaws_; }
    // The fault for the next reply to `order`, counted down; None when there is none.
    FaultKind takeFault(int order, int *trickleMs);

    int waitingRecordings = 0; // recordings waiting for their trigger, over all links

    RequestLog &log() { return log_; }

  private:
    void setRam(const ParamSet &params);
    void saveEepromImage();
    std::vector<uint8_t> reply(uint8_t order, uint16_t argument, const uint8_t *data = nullptr,
                               int length = 0);

    SensorSetup setup_;
    PressModel model_;
    ParamSet ram_;
    EepromImage eeprom_;
    int baudIndex_ = DefaultBaudIndex;
    bool in0_ = false;
    FaultSetting fault_;
    SensorFlaws flaws_;
    int faultLeft_ = 0;
    int faultSkip_ = 0;
    std::chrono::steady_clock::time_point startTime_;
    RequestLog log_;
};

} // namespace tavsim

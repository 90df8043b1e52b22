// What the simulated sensor answers to each order.
#include "sim/sensor_core.h"

#include <cmath>

namespace tavsim {

SensorCore::SensorCore(const SensorSetup &setup)
    : setup_(setup), model_(setup.seed), startTime_(std::chrono::steady_clock::now()) {
    model_.setOutlierProbability(setup.outlierProbability);
    model_.setMissingStrokeProbability(setup.missingStrokeProbability);
    if (!setup_.eepromFile.empty()) loadEeprom(setup_.eepromFile, &eeprom_);
    // Power on: the working set comes from the EEPROM, or the defaults if it is implausible.
    setRam(plausibilityFaults(eeprom_.params) ? ParamSet{} : eeprom_.params);
    baudIndex_ = setup_.baudIndex >= 0 ? setup_.baudIndex : eeprom_.baudIndex;
    if (baudRateOf(baudIndex_) == 0) baudIndex_ = DefaultBaudIndex;
}

void SensorCore::setRam(const ParamSet &params) {
    ram_ = params;
    model_.setParams(params);
}

void SensorCore::saveEepromImage() {
    if (!setup_.eepromFile.empty() && !saveEeprom(setup_.eepromFile, eeprom_))
        log_.add(LogKind::Note, "sensor", nullptr, 0,
                 "cannot write EEPROM file " + setup_.eepromFile);
}

void SensorCore::setEepromParams(const ParamSet &params) {
    eeprom_.params = params;
    saveEepromImage();
}

uint64_t SensorCore::modelTime() {
    if (!setup_.steppedClock) {
        auto elapsed = std::chrono::steady_clock::now() - startTime_;
        model_.advanceTo(
            uint64_t(std::chrono::duration_cast<std::chrono::microseconds>(elapsed).count()));
    }
    return model_.now();
}

void SensorCore::setFault(const FaultSetting &setting) {
    fault_ = setting;
    faultLeft_ = setting.count;
    faultSkip_ = setting.skip;
}

FaultKind SensorCore::takeFault(int order, int *trickleMs) {
    if (fault_.kind == FaultKind::None || (fault_.order >= 0 && fault_.order != order))
        return FaultKind::None;
    if (faultSkip_ > 0) {
        --faultSkip_;
        return FaultKind::None;
    }
    FaultKind kind = fault_.kind;
    *trickleMs = fault_.trickleMs;
    if (fault_.count > 0 && --faultLeft_ <= 0) fault_ = FaultSetting{};
    return kind;
}

std::vector<uint8_t> SensorCore::reply(uint8_t order, uint16_t argument, const uint8_t *data,
                                       int length) {
    if (length > FrameMaxData) length = FrameMaxData;
    std::vector<uint8_t> frame(size_t(FrameHeaderSize + length));
    frameBuild(frame.data(), int(frame.size()), order, argument, data, length);
    return frame;
}

std::vector<uint8_t> SensorCore::errorReply(uint16_t code) {
    std::vector<uint8_t> frame(FrameHeaderSize);
    frameBuild(frame.data(), FrameHeaderSize, OrderErrorReply, code, nullptr, 0);
    return frame;
}

Answer SensorCore::answer(const FrameHeader &h, const uint8_t *data) {
    Answer a;
    switch (h.order) {
    case OrderSendPara: {
        if (h.length != 8) break;
        ParamSet wanted = decodeParams(data);
        uint16_t faults = plausibilityFaults(wanted);
        if (!faults)
            wanted.strokeTolerance = uint16_t(wanted.strokeTolerance + flaws_.strokeToleranceSkew);
        setRam(faults ? ParamSet{} : wanted);
        a.frame = reply(h.order, faults);
        return a;
    }
    case OrderGetPara: {
        uint8_t block[8];
        encodeParams(ram_, block);
        a.frame = reply(h.order, 0, block, 8);
        return a;
    }
    case OrderStoreEeprom:
        if (!flaws_.eepromStoreLost) {
            eeprom_.params = ram_;
            eeprom_.baudIndex = baudIndex_;
            saveEepromImage();
        }
        a.frame = reply(h.order, 0);
        return a;
    case OrderLoadEeprom: {
        uint16_t faults = plausibilityFaults(eeprom_.params);
        if (faults) {
            eeprom_.params = ParamSet{};
            saveEepromImage();
        }
        setRam(eeprom_.params);
        a.frame = reply(h.order, faults);
        return a;
    }
    case OrderFirmware:
        a.frame = reply(h.order, 0, reinterpret_cast<const uint8_t *>(setup_.firmware.data()),
                        int(setup_.firmware.size()));
        return a;
    case OrderLiveData: {
        if (setup_.steppedClock)
            model_.advanceCycle();
        else
            modelTime();
        uint8_t bytes[LiveDataSize];
        encodeLiveData(model_.live(), bytes);
        a.frame = reply(h.order, 0, bytes, LiveDataSize);
        return a;
    }
    case OrderSensorId:
        a.frame = reply(h.order, setup_.serialNumber,
                        reinterpret_cast<const uint8_t *>(setup_.sensorName.data()),
                        int(setup_.sensorName.size()));
        return a;
    case OrderCycleTime: {
        uint8_t bytes[8];
        const double seconds = CycleTimeWindow * 1e-4;
        putU32(bytes, uint32_t(int32_t(std::llround(model_.scanFrequency() * seconds))));
        putU32(bytes + 4, uint32_t(CycleTimeWindow));
        a.frame = reply(h.order, 0, bytes, 8);
        return a;
    }
    case OrderScope:
        if (h.argument == 0) {
            a.scope = Answer::BreakScope;
            a.frame = reply(h.order, 0);
            return a;
        }
        if (h.argument == 1 && h.length == 8) {
            a.scopeSettings = decodeScopeSettings(data);
            if (a.scopeSettings.mode < ScopeSingleShot || a.scopeSettings.mode > ScopeIn0High)
                break;
            a.scope = Answer::StartScope;
            a.frame = reply(h.order, h.argument);
            return a;
        }
        break;
    case OrderChangeBaudrate:
        if (baudRateOf(h.argument) == 0) break;
        a.switchBaud = h.argument;
        a.frame = reply(h.order, h.argument);
        return a;
    case OrderHardwareInfo: {
        if (h.argument != HardwareInfoKey) break;
        uint8_t block[512];
        putU16(block, 0x1234);
        putU16(block + 2, setup_.serialNumber);
        for (int k = 2; k < 256; ++k)
            putU16(block + 2 * k, uint16_t(0xA500 + k));
        a.frame = reply(h.order, 0, block, 512);
        return a;
    }
    default:
        break;
    }
    a.frame = errorReply(ErrorInvalidOrder);
    return a;
}

} // namespace tavsim

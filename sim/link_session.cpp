// Request parsing, reply scheduling and fault commitment of one link.
#include "sim/link_session.h"

#include <algorithm>
#include <limits>

namespace tavsim {

namespace {

// With the stepped clock a waiting recording runs the model ahead at this many samples per
// service call (about 50 ms of press time every 2 ms): fast, without taking a whole core.
constexpr int SteppedSamplesPerTick = 512;

const char *orderName(int order) {
    switch (order) {
    case OrderSendPara:
        return "order 1 (write RAM parameters)";
    case OrderGetPara:
        return "order 2 (read RAM parameters)";
    case OrderStoreEeprom:
        return "order 3 (store EEPROM)";
    case OrderLoadEeprom:
        return "order 4 (load EEPROM)";
    case OrderFirmware:
        return "order 7 (firmware)";
    case OrderLiveData:
        return "order 8 (live data)";
    case OrderSensorId:
        return "order 15 (sensor name)";
    case OrderCycleTime:
        return "order 105 (cycle time)";
    case OrderScope:
        return "order 110 (recorder)";
    case OrderChangeBaudrate:
        return "order 190 (baud rate)";
    case OrderHardwareInfo:
        return "order 194 (hardware block)";
    default:
        return "unknown order";
    }
}
} // namespace

LinkSession::LinkSession(SensorCore &core, LinkKind kind, bool pace)
    : core_(core), kind_(kind), pace_(pace) {}

void LinkSession::note(const std::string &text, const uint8_t *bytes, size_t count) {
    core_.log().add(LogKind::Note, name(), bytes, count, text);
}

void LinkSession::setRecording(bool waiting) {
    if (waiting == recording_) return;
    std::lock_guard<std::mutex> lock(core_.mutex);
    core_.waitingRecordings += waiting ? 1 : -1;
    recording_ = waiting;
}

void LinkSession::reset() {
    rx_.clear();
    out_.clear();
    recorder_.cancel();
    setRecording(false);
}

LinkSession::Clock::duration LinkSession::byteTime() const {
    if (kind_ != LinkKind::Serial || !pace_) return Clock::duration::zero();
    // 10 bits a byte: start bit, 8 data bits, stop bit.
    return std::chrono::nanoseconds(10'000'000'000LL / baudRateOf(core_.baudIndex()));
}

void LinkSession::receive(const uint8_t *bytes, size_t count, int lineRate, Clock::time_point now) {
    if (kind_ == LinkKind::Serial && lineRate > 0) {
        int sensorRate;
        {
            std::lock_guard<std::mutex> lock(core_.mutex);
            sensorRate = baudRateOf(core_.baudIndex());
        }
        if (lineRate != sensorRate) {
            note("line at " + std::to_string(lineRate) + " baud, sensor at " +
                     std::to_string(sensorRate) + ": bytes are garbage, dropped",
                 bytes, count);
            rx_.clear();
            return;
        }
    }
    service(now);
    rx_.insert(rx_.end(), bytes, bytes + count);
    lastRx_ = now;
    parse(now);
}

void LinkSession::parse(Clock::time_point now) {
    for (;;) {
        size_t skip = 0;
        while (skip < rx_.size() && rx_[skip] != FrameStartByte)
            ++skip;
        if (skip) {
            note("no start byte: dropped", rx_.data(), skip);
            rx_.erase(rx_.begin(), rx_.begin() + long(skip));
        }
        if (rx_.size() < size_t(FrameHeaderSize)) return;
        FrameHeader h;
        if (!frameCheckHeader(rx_.data(), &h) || h.length > FrameMaxData) {
            // A line error: the sensor answers it and discards what it has received.
            core_.log().add(LogKind::Received, name(), rx_.data(), rx_.size(),
                            h.length > FrameMaxData ? "length above 1016" : "header CRC wrong");
            rx_.clear();
            queueReply(SensorCore::errorReply(ErrorLine), OrderErrorReply, -1, now);
            return;
        }
        const size_t frameLength = size_t(FrameHeaderSize + h.length);
        if (rx_.size() < frameLength) return;
        const uint8_t *data = rx_.data() + FrameHeaderSize;
        if (h.length > 0 && frameDataCrc(data, h.length) != h.dataCrc) {
            core_.log().add(LogKind::Received, name(), rx_.data(), frameLength, "data CRC wrong");
            rx_.erase(rx_.begin(), rx_.begin() + long(frameLength));
            queueReply(SensorCore::errorReply(ErrorLine), OrderErrorReply, -1, now);
            continue;
        }
        core_.log().add(LogKind::Received, name(), rx_.data(), frameLength, orderName(h.order));
        std::vector<uint8_t> dataCopy(data, data + h.length);
        rx_.erase(rx_.begin(), rx_.begin() + long(frameLength));
        dispatch(h, dataCopy.data(), frameLength, now);
    }
}

void LinkSession::dispatch(const FrameHeader &h, const uint8_t *data, size_t frameLength,
                           Clock::time_point now) {
    Answer a;
    Clock::time_point notBefore;
    {
        std::lock_guard<std::mutex> lock(core_.mutex);
        a = core_.answer(h, data);
        // On a real line the request has only just arrived when its last byte is through.
        notBefore = now + byteTime() * long(frameLength);
        if (a.scope == Answer::StartScope)
            recorder_.start(a.scopeSettings, core_.modelTime(), core_.model().scanFrequency());
        else if (a.scope == Answer::BreakScope)
            recorder_.cancel();
    }
    if (a.scope != Answer::NoScope) setRecording(recorder_.waiting());
    queueReply(a.frame, h.order, a.switchBaud, notBefore);
}

void LinkSession::queueReply(const std::vector<uint8_t> &frame, int order, int switchBaud,
                             Clock::time_point notBefore) {
    int trickleMs = 0;
    FaultKind fault;
    {
        std::lock_guard<std::mutex> lock(core_.mutex);
        fault = core_.takeFault(order, &trickleMs);
    }
    if (fault == FaultKind::Close && kind_ == LinkKind::Serial)
        fault = FaultKind::NoReply; // a serial line cannot be closed from this end
    noiseSeed_ = noiseSeed_ * 6364136223846793005ull + 1442695040888963407ull;
    FaultedReply r = applyFault(fault, frame, noiseSeed_);
    if (fault != FaultKind::None)
        note(std::string("fault ") + faultName(fault) + " on the reply to order " +
             std::to_string(order));
    if (!r.bytes.empty())
        core_.log().add(LogKind::Sent, name(), r.bytes.data(), r.bytes.size(), "");
    OutItem item;
    item.bytes = std::move(r.bytes);
    item.notBefore = notBefore;
    item.closeAfter = r.close;
    item.switchBaud = switchBaud;
    if (fault == FaultKind::Trickle) item.perByte = std::chrono::milliseconds(trickleMs);
    out_.push_back(std::move(item));
}

void LinkSession::service(Clock::time_point now) {
    if (!rx_.empty() && now - lastRx_ > PartialFrameTimeout) {
        note("incomplete request dropped", rx_.data(), rx_.size());
        rx_.clear();
    }
    if (!recorder_.waiting()) return;
    bool complete;
    {
        std::lock_guard<std::mutex> lock(core_.mutex);
        if (core_.steppedClock())
            complete = recorder_.step(core_.model(), std::numeric_limits<uint64_t>::max(),
                                      SteppedSamplesPerTick, core_.in0());
        else
            complete = recorder_.step(core_.model(), core_.modelTime(),
                                      std::numeric_limits<int>::max(), core_.in0());
    }
    if (!complete) return;
    setRecording(false);
    std::vector<uint8_t> frame(size_t(FrameHeaderSize + ScopeRecordSize));
    frameBuild(frame.data(), int(frame.size()), OrderScope, 0, recorder_.record().data(),
               ScopeRecordSize);
    note("recording complete, trigger at ring position " +
         std::to_string(recorder_.triggerIndex()));
    queueReply(frame, OrderScope, -1, now);
}

std::vector<uint8_t> LinkSession::takeDue(Clock::time_point now, int lineRate, bool *close) {
    std::vector<uint8_t> due;
    *close = false;
    while (!out_.empty()) {
        OutItem &item = out_.front();
        if (!item.started) {
            if (now < item.notBefore) break;
            item.started = true;
            nextByteAt_ = std::max(nextByteAt_, item.notBefore);
        }
        Clock::duration perByte;
        int sensorRate;
        {
            std::lock_guard<std::mutex> lock(core_.mutex);
            perByte = std::max(item.perByte, byteTime());
            sensorRate = baudRateOf(core_.baudIndex());
        }
        const size_t first = due.size();
        if (perByte == Clock::duration::zero()) {
            due.insert(due.end(), item.bytes.begin() + long(item.pos), item.bytes.end());
            item.pos = item.bytes.size();
        } else {
            while (item.pos < item.bytes.size() && nextByteAt_ <= now) {
                due.push_back(item.bytes[item.pos++]);
                nextByteAt_ += perByte;
            }
        }
        if (kind_ == LinkKind::Serial && lineRate > 0 && lineRate != sensorRate)
            for (size_t i = first; i < due.size(); ++i) // what the other end makes of them
                due[i] = uint8_t(((due[i] << 3) | (due[i] >> 5)) ^ 0xA7);
        if (item.pos < item.bytes.size()) break;
        if (item.switchBaud >= 0) {
            std::lock_guard<std::mutex> lock(core_.mutex);
            core_.setBaudIndex(item.switchBaud);
        }
        if (item.switchBaud >= 0)
            note("now at " + std::to_string(baudRateOf(item.switchBaud)) + " baud");
        const bool closeAfter = item.closeAfter;
        out_.pop_front();
        if (closeAfter) {
            *close = true;
            break;
        }
    }
    return due;
}

LinkSession::Clock::time_point LinkSession::nextWake(Clock::time_point now) const {
    Clock::time_point wake = now + std::chrono::milliseconds(100);
    if (!out_.empty())
        wake = std::min(wake, out_.front().started ? nextByteAt_ : out_.front().notBefore);
    if (recorder_.waiting()) wake = std::min(wake, now + std::chrono::milliseconds(2));
    if (!rx_.empty())
        wake = std::min(wake, lastRx_ + PartialFrameTimeout + std::chrono::milliseconds(1));
    return std::max(wake, now);
}

} // namespace tavsim

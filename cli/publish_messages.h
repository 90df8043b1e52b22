// What taviron publish sends to the MQTT broker, as pure functions: the topic names, the state
// and parameter messages (JSON), and the pacing of the live messages (at most a rate a second,
// a change inside the window sent at its end, so the last change is never lost).
#pragma once

#include "base/state.h"
#include "cli/live_rows.h"
#include "cli/tables.h"

#include <string>

// The sensor's state as the plant sees it.
enum class PublishState { Online, SensorLost, WrongSensor, Offline };
// "online", "sensor-lost", "wrong-sensor", "offline".
const char *PublishStateName(PublishState state);

// Who answered the identity check.
struct SensorIdentity {
    std::string firmware, name;
    long serial = 0;
};
// The sensor the publisher started with is back: the same serial number and firmware text.
bool SameSensor(const SensorIdentity &a, const SensorIdentity &b);

// "<prefix>/<id>/<leaf>" (leaf: "state", "params", "live").
std::string PublishTopic(const std::string &prefix, const std::string &id, const char *leaf);

// {"state": ..., "firmware": ..., "name": ..., "serial": ..., "since": ...}: the identity the
// publisher started with; `since` the ISO 8601 time the state began (empty: null, as in the
// last will, whose time nobody knows in advance). A wrong sensor adds what answered instead
// as "found": {"firmware", "name", "serial"}.
std::string StateJson(PublishState state, const SensorIdentity &sensor, const std::string &since,
                      const SensorIdentity *found = nullptr);
// {"time": ..., "ram": {"strokeTolerance": ..., ...}, "eeprom": {...}}.
std::string ParamsJson(const ParaSet &ram, const ParaSet &eeprom, const std::string &time);

// The live messages: every poll's values are offered with their time stamp; a change goes out
// at once when the last message is at least 1/rate seconds old, else when that time has come
// (the latest values then, with their own time stamp). Times in seconds on any steady clock.
class LiveThrottle {
  public:
    explicit LiveThrottle(double rateHz) : interval_(1.0 / rateHz) {}

    // One poll's values; a change (or the first values) waits to be sent.
    void Offer(const LiveDataRec &live, const std::string &stamp);
    // The JSON message to send at `now` when one is due (true), else false. `force`: the waiting
    // change now, whatever the rate (the sensor was lost; the plant sees its last values).
    bool Due(double now, std::string *message, bool force = false);
    // Whether a change waits.
    bool Waiting() const { return waiting_; }
    // Forgets the values seen: the next values offered are sent as a change (after the sensor
    // was lost, the plant sees where it stands again).
    void Forget() { filter_ = LiveChangeFilter{}; }

  private:
    double interval_;
    double lastSent_ = -1e300;
    LiveChangeFilter filter_;
    bool waiting_ = false;
    LiveDataRec live_{};
    std::string stamp_;
};

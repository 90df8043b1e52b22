// Topics, state and parameter messages, live pacing of taviron publish (see publish_messages.h).
#include "cli/publish_messages.h"

#include "cli/json.h"
#include "cli/report.h"

const char *PublishStateName(PublishState state) {
    switch (state) {
    case PublishState::Online:
        return "online";
    case PublishState::SensorLost:
        return "sensor-lost";
    case PublishState::WrongSensor:
        return "wrong-sensor";
    case PublishState::Offline:
        break;
    }
    return "offline";
}

bool SameSensor(const SensorIdentity &a, const SensorIdentity &b) {
    return a.serial == b.serial && a.firmware == b.firmware;
}

std::string PublishTopic(const std::string &prefix, const std::string &id, const char *leaf) {
    return prefix + "/" + id + "/" + leaf;
}

namespace {

void IdentityMembers(JsonWriter &json, const SensorIdentity &sensor) {
    json.Key("firmware").String(sensor.firmware);
    json.Key("name").String(sensor.name);
    json.Key("serial").Int(sensor.serial);
}

} // namespace

std::string StateJson(PublishState state, const SensorIdentity &sensor, const std::string &since,
                      const SensorIdentity *found) {
    JsonWriter json;
    json.BeginObject().Key("state").String(PublishStateName(state));
    IdentityMembers(json, sensor);
    if (since.empty())
        json.Key("since").Null();
    else
        json.Key("since").String(since);
    if (found) {
        json.Key("found").BeginObject();
        IdentityMembers(json, *found);
        json.EndObject();
    }
    json.EndObject();
    return json.Text();
}

std::string ParamsJson(const ParaSet &ram, const ParaSet &eeprom, const std::string &time) {
    JsonWriter json;
    json.BeginObject().Key("time").String(time);
    ParaObject(json.Key("ram"), ram);
    ParaObject(json.Key("eeprom"), eeprom);
    json.EndObject();
    return json.Text();
}

void LiveThrottle::Offer(const LiveDataRec &live, const std::string &stamp) {
    if (!filter_.Take(live)) return;
    waiting_ = true;
    live_ = live;
    stamp_ = stamp;
}

bool LiveThrottle::Due(double now, std::string *message, bool force) {
    if (!waiting_ || (!force && now < lastSent_ + interval_)) return false;
    waiting_ = false;
    lastSent_ = now;
    *message = LiveJsonLine(stamp_, live_);
    return true;
}

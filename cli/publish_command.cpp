// taviron publish (see publish_command.h). The sensor is polled on this thread; the MQTT
// client's network thread sends and, after every reconnect, publishes state and parameters
// again from what this thread last set. One lock keeps the two in order: on each connection
// the state goes out first, then the parameters, then live values.
#include "cli/publish_command.h"

#include "cli/exit_codes.h"
#include "cli/input_file.h"
#include "cli/language.h"
#include "cli/live_rows.h"
#include "cli/mqtt_client.h"
#include "cli/publish_messages.h"
#include "cli/sensor_commands.h"
#include "cli/sensor_session.h"
#include "cli/shift_log.h"
#include "link/exchange.h"
#include "link/link_clock.h"
#include "live/calc/live_data.h"
#include "protocol/frame.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <memory>
#include <mutex>

namespace {

const TextPair kSensorLost = {"Sensor verloren (neuer Versuch folgt): ",
                              "Sensor lost (trying again): "};
const TextPair kSensorBack = {"Sensor wieder da", "Sensor back"};
const TextPair kWrongSensor = {
    "Ein anderer Sensor antwortet (keine Live-Werte, bis der erste zurück ist): %s",
    "Another sensor answers (no live values until the first one is back): %s"};
const TextPair kNoPassword = {"Passwort-Datei nicht lesbar: %s",
                              "Cannot read the password file: %s"};
const TextPair kNoClient = {"MQTT-Client lässt sich nicht einrichten: %s",
                            "Cannot set up the MQTT client: %s"};

const TextPair kLogWritten = {"Log-Datei wird wieder geschrieben: %s",
                              "The log file is written again: %s"};

constexpr double kLongestRetry = 30;
// The longest sleep of the loop: a slow --poll or a sensor's retry still lets the shift log
// write its waiting rows in time.
constexpr double kLongestSleep = 0.1;
constexpr double kGoodbyeSeconds = 2;

volatile std::sig_atomic_t g_stop = 0;

void Tell(const std::string &message) {
    std::fprintf(stderr, "taviron: %s\n", message.c_str());
}

// Sleeps up to `seconds`; a signal ends the sleep early.
void Sleep(double seconds) {
    if (seconds <= 0) return;
    timespec t{};
    t.tv_sec = time_t(seconds);
    t.tv_nsec = long((seconds - double(t.tv_sec)) * 1e9);
    nanosleep(&t, nullptr);
}

std::string IdentityText(const SensorIdentity &s) {
    return s.name + ", " + std::to_string(s.serial) + ", " + s.firmware;
}

SensorIdentity IdentityOf(const CommandReport &report) {
    return {report.firmware, report.name, report.serial};
}

class Publisher {
  public:
    Publisher(const Invocation &inv, const std::string &password, const SensorIdentity &sensor)
        : inv_(inv), password_(password), sensor_(sensor), throttle_(inv.rateHz) {
        const std::string id =
            inv.publishId.empty() ? std::to_string(sensor.serial) : inv.publishId;
        stateTopic_ = PublishTopic(inv.topicPrefix, id, "state");
        paramsTopic_ = PublishTopic(inv.topicPrefix, id, "params");
        liveTopic_ = PublishTopic(inv.topicPrefix, id, "live");
        clientId_ = "taviron-" + inv.topicPrefix + "-" + id;
        if (!inv.logFolder.empty())
            log_ = std::make_unique<ShiftLog>((std::filesystem::path(inv.logFolder) / id).string(),
                                              CsvFormatOf(inv.csvStyle));
    }

    int Run(CommandReport *report);

  private:
    // The state and what the broker keeps of it, sent now when connected (and again on every
    // reconnect).
    void SetState(PublishState state, const SensorIdentity *found = nullptr) {
        std::lock_guard<std::mutex> lock(mutex_);
        state_ = state;
        stateJson_ = StateJson(state, sensor_, IsoTimestampNow('.'), found);
        if (born_) mqtt_.Publish(stateTopic_, stateJson_, 1, true);
    }
    void SetParams(const std::string &json) {
        std::lock_guard<std::mutex> lock(mutex_);
        paramsJson_ = json;
        if (born_) mqtt_.Publish(paramsTopic_, paramsJson_, 1, true);
    }
    // The network thread, once the broker has accepted a connection.
    void OnConnected() {
        std::lock_guard<std::mutex> lock(mutex_);
        mqtt_.Publish(stateTopic_, stateJson_, 1, true);
        if (!paramsJson_.empty()) mqtt_.Publish(paramsTopic_, paramsJson_, 1, true);
        born_ = true;
    }
    void OnLost() {
        std::lock_guard<std::mutex> lock(mutex_);
        born_ = false;
    }
    // A live message when one is due (`force`: the waiting one now, whatever the rate).
    void SendLive(bool force) {
        std::string message;
        if (!throttle_.Due(LinkClock(), &message, force)) return;
        std::lock_guard<std::mutex> lock(mutex_);
        if (born_ && state_ == PublishState::Online) mqtt_.Publish(liveTopic_, message, 0, false);
    }
    // The shift log's result: a failure said once when it begins, and once when it is over.
    void Logged(bool written) {
        if (!log_ || written == logWritten_) return;
        logWritten_ = written;
        Tell(written ? SayWith(kLogWritten, App.LanguageIndex, log_->Path()) : log_->Error());
    }
    // Reads both parameter sets and publishes them; false after a link failure.
    bool PublishParams();
    // One live poll; false after a link failure.
    bool Poll();
    void Lost(const std::string &why);
    // One attempt to reach the sensor again; true when the first sensor is back.
    bool TryAgain();

    const Invocation &inv_;
    const std::string &password_;
    const SensorIdentity sensor_;
    std::string stateTopic_, paramsTopic_, liveTopic_, clientId_;
    LiveThrottle throttle_;
    MqttClient mqtt_;
    std::unique_ptr<ShiftLog> log_; // with --log
    bool logWritten_ = true;

    std::mutex mutex_; // state_, stateJson_, paramsJson_, born_ and the order of what goes out
    PublishState state_ = PublishState::Online;
    bool born_ = false; // this connection's state and parameters have gone out
    std::string stateJson_, paramsJson_;

    // The sensor's retries (this thread only).
    double retryPause_ = 1, retryAt_ = 0;
    SensorIdentity lastFound_;
};

bool Publisher::PublishParams() {
    ParaSet ram{}, eeprom{};
    int refusal = 0;
    CommandReport report;
    if (ReadBothSets(&ram, &eeprom, &refusal, &report) != 0) return false;
    SetParams(ParamsJson(ram, eeprom, IsoTimestampNow('.')));
    return true;
}

bool Publisher::Poll() {
    FillTxBuf(OrderLiveData, 0, 0);
    ExpectReplyData(kLiveDataSize);
    if (DataExchange(kHeaderSize) != 1) return false;
    // One time for the live message and the log's row, so the two can be matched.
    const WallTime now = WallTimeNow();
    const LiveDataRec live = DecodeLiveData(RxData());
    throttle_.Offer(live, IsoTimestamp(now.unixMillis, now.utcOffsetSeconds, '.'));
    SendLive(false);
    if (log_) Logged(log_->Add(live, now, LinkClock()));
    return true;
}

void Publisher::Lost(const std::string &why) {
    DisconnectSensor();
    SendLive(true);
    if (state_ == PublishState::Online) Tell(Say(kSensorLost, App.LanguageIndex) + why);
    if (state_ != PublishState::SensorLost) SetState(PublishState::SensorLost);
    retryPause_ = 1;
    retryAt_ = LinkClock() + retryPause_;
}

bool Publisher::TryAgain() {
    CommandReport report;
    const bool answered = ConnectSensor(inv_.connection, &report) == kExitDone;
    const SensorIdentity found = IdentityOf(report);
    bool back = false;
    if (answered && !SameSensor(found, sensor_)) {
        if (state_ != PublishState::WrongSensor || !SameSensor(found, lastFound_) ||
            found.name != lastFound_.name) {
            Tell(SayWith(kWrongSensor, App.LanguageIndex, IdentityText(found)));
            SetState(PublishState::WrongSensor, &found);
            lastFound_ = found;
        }
    } else if (answered) {
        back = PublishParams();
    }
    if (!back) {
        DisconnectSensor();
        retryPause_ = std::min(retryPause_ * 2, kLongestRetry);
        retryAt_ = LinkClock() + retryPause_;
        return false;
    }
    Tell(Say(kSensorBack, App.LanguageIndex));
    SetState(PublishState::Online);
    throttle_.Forget();
    return true;
}

int Publisher::Run(CommandReport *report) {
    stateJson_ = StateJson(PublishState::Online, sensor_, IsoTimestampNow('.'));
    if (log_) {
        std::string error;
        if (!log_->Open(WallTimeNow(), App.LanguageIndex, &error)) {
            report->error = error;
            return report->code = kExitFile;
        }
    }
    bool sensorUp = PublishParams();
    if (!sensorUp) Lost(LinkFailureMessage());

    MqttOptions options;
    options.host = inv_.mqttHost;
    options.port = inv_.mqttPort;
    options.clientId = clientId_;
    options.willTopic = stateTopic_;
    options.willPayload = StateJson(PublishState::Offline, sensor_, "");
    options.user = inv_.mqttUser;
    options.password = password_;
    options.caFile = inv_.caFile;
    options.certFile = inv_.certFile;
    options.keyFile = inv_.keyFile;
    std::string error;
    if (!mqtt_.Start(
            options, [this] { OnConnected(); }, [this] { OnLost(); }, &error)) {
        report->error = SayWith(kNoClient, App.LanguageIndex, error);
        return report->code = kExitUsage;
    }

    const double interval = 1.0 / inv_.pollHz;
    double nextPoll = LinkClock();
    while (!g_stop) {
        const std::string failure = mqtt_.Failure();
        if (!failure.empty()) {
            mqtt_.Stop();
            report->error = failure;
            return report->code = kExitNoConnection;
        }
        const double now = LinkClock();
        if (log_) Logged(log_->Tick(now));
        if (!sensorUp) {
            if (now < retryAt_) {
                Sleep(std::min(retryAt_ - now, kLongestSleep));
                continue;
            }
            sensorUp = TryAgain();
            nextPoll = LinkClock();
            continue;
        }
        if (now < nextPoll) {
            Sleep(std::min(nextPoll - now, kLongestSleep));
            continue;
        }
        if (!Poll()) {
            Lost(LinkFailureMessage());
            sensorUp = false;
            continue;
        }
        // The next poll one interval on, never earlier than now: a line slower than --poll
        // is polled back to back, without bursts to catch up.
        nextPoll = std::max(nextPoll + interval, LinkClock());
    }
    if (log_) Logged(log_->Flush());

    // The end: the change still waiting, then "offline" acknowledged before the goodbye.
    SendLive(true);
    int goodbye = -1;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stateJson_ = StateJson(PublishState::Offline, sensor_, IsoTimestampNow('.'));
        if (born_) goodbye = mqtt_.Publish(stateTopic_, stateJson_, 1, true);
    }
    if (goodbye >= 0) mqtt_.WaitAcknowledged(goodbye, kGoodbyeSeconds);
    mqtt_.Stop();
    return report->code = kExitDone;
}

} // namespace

void StopPublish() {
    g_stop = 1;
}

int ReadPublishFiles(const Invocation &inv, int language, std::string *password,
                     std::string *message) {
    for (const std::string *path : {&inv.caFile, &inv.certFile, &inv.keyFile, &inv.passwordFile})
        if (!path->empty()) {
            const int code = CheckInputFile(*path, language, message);
            if (code != kExitDone) return code;
        }
    password->clear();
    if (inv.passwordFile.empty()) return kExitDone;
    std::FILE *file = std::fopen(inv.passwordFile.c_str(), "rb");
    if (!file) {
        *message = SayWith(kNoPassword, language, inv.passwordFile) + ": " + std::strerror(errno);
        return kExitFile;
    }
    for (int c = std::fgetc(file); c != EOF && c != '\n'; c = std::fgetc(file))
        password->push_back(char(c));
    std::fclose(file);
    if (!password->empty() && password->back() == '\r') password->pop_back();
    return kExitDone;
}

int RunPublish(const Invocation &inv, const std::string &password, CommandReport *report) {
    report->command = Command::Publish;
    if (ConnectSensor(inv.connection, report) != kExitDone) return report->code;
    Publisher publisher(inv, password, IdentityOf(*report));
    return publisher.Run(report);
}

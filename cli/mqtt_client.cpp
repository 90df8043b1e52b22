// The MQTT connection of taviron publish (see mqtt_client.h).
#include "cli/mqtt_client.h"

#include "base/state.h"
#include "cli/language.h"

#include <mosquitto.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>

namespace {

const TextPair kBrokerAway = {"MQTT-Broker %s nicht erreichbar (neuer Versuch folgt): ",
                              "MQTT broker %s not reachable (trying again): "};
const TextPair kBrokerConnected = {"Mit MQTT-Broker %s verbunden", "Connected to MQTT broker %s"};
const TextPair kTlsRefused = {"TLS-Verbindung zum MQTT-Broker %s abgelehnt: ",
                              "TLS connection to MQTT broker %s refused: "};
const TextPair kUserRefused = {"MQTT-Broker %s weist die Anmeldung ab: ",
                               "MQTT broker %s refuses the log-in: "};
const TextPair kBrokerRefused = {"MQTT-Broker %s lehnt die Verbindung ab (neuer Versuch folgt): ",
                                 "MQTT broker %s refuses the connection (trying again): "};

constexpr int kKeepAliveSeconds = 10;
constexpr double kLongestPause = 30;
constexpr std::size_t kAcknowledgedKept = 512;
// How long the goodbye may take before the network thread ends without it.
constexpr auto kGoodbyeTime = std::chrono::seconds(2);

std::string BrokerText(const MqttOptions &o) {
    if (o.host.find(':') != std::string::npos) return "[" + o.host + "]:" + std::to_string(o.port);
    return o.host + ":" + std::to_string(o.port);
}

std::string Text(const TextPair &text, const MqttOptions &o, const std::string &why) {
    return SayWith(text, App.LanguageIndex, BrokerText(o)) + why;
}

void Say(const TextPair &text, const MqttOptions &o, const std::string &why) {
    std::fprintf(stderr, "taviron: %s\n", Text(text, o, why).c_str());
}

} // namespace

MqttClient::MqttClient() {
    mosquitto_lib_init();
}

MqttClient::~MqttClient() {
    Stop();
    if (mosq_) mosquitto_destroy(mosq_);
    mosquitto_lib_cleanup();
}

bool MqttClient::Start(const MqttOptions &options, std::function<void()> onConnected,
                       std::function<void()> onLost, std::string *error) {
    options_ = options;
    onConnected_ = std::move(onConnected);
    onLost_ = std::move(onLost);
    mosq_ = mosquitto_new(options.clientId.c_str(), true, this);
    if (!mosq_) {
        *error = mosquitto_strerror(MOSQ_ERR_NOMEM);
        return false;
    }
    mosquitto_threaded_set(mosq_, true);
    mosquitto_connect_callback_set(mosq_, OnConnect);
    mosquitto_disconnect_callback_set(mosq_, OnDisconnect);
    mosquitto_publish_callback_set(mosq_, OnPublish);
    mosquitto_log_callback_set(mosq_, OnLog);
    const int rc =
        mosquitto_will_set(mosq_, options.willTopic.c_str(), int(options.willPayload.size()),
                           options.willPayload.data(), 1, true);
    if (rc != MOSQ_ERR_SUCCESS) {
        *error = mosquitto_strerror(rc);
        return false;
    }
    if (!options.user.empty()) {
        const int set =
            mosquitto_username_pw_set(mosq_, options.user.c_str(), options.password.c_str());
        if (set != MOSQ_ERR_SUCCESS) {
            *error = mosquitto_strerror(set);
            return false;
        }
    }
    if (!options.caFile.empty()) {
        const auto file = [](const std::string &path) {
            return path.empty() ? nullptr : path.c_str();
        };
        const int set = mosquitto_tls_set(mosq_, options.caFile.c_str(), nullptr,
                                          file(options.certFile), file(options.keyFile), nullptr);
        if (set != MOSQ_ERR_SUCCESS) {
            *error = mosquitto_strerror(set);
            return false;
        }
    }
    thread_ = std::thread([this] { Run(); });
    return true;
}

void MqttClient::Run() {
    double pause = 1;
    bool everTried = false, sayAway = true;
    bool linked = false; // a network connection stands (the broker may not have answered yet)
    while (true) {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stopping_ && !linked) break;
        }
        if (!linked) {
            {
                // What the TLS library says about this attempt, and whether the broker
                // accepts it, start afresh.
                std::lock_guard<std::mutex> lock(mutex_);
                lastError_.clear();
                accepted_ = false;
            }
            const int rc = everTried ? mosquitto_reconnect(mosq_)
                                     : mosquitto_connect_async(mosq_, options_.host.c_str(),
                                                               options_.port, kKeepAliveSeconds);
            const int error = errno;
            everTried = true;
            if (rc == MOSQ_ERR_SUCCESS) {
                linked = true;
                continue;
            }
            if (Hopeless(rc, error)) break;
            if (sayAway) Say(kBrokerAway, options_, mosquitto_strerror(rc));
            sayAway = false;
            if (!Pause(pause)) break;
            pause = std::min(pause * 2, kLongestPause);
            continue;
        }
        const int rc = mosquitto_loop(mosq_, 100, 1);
        const int error = errno;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (stopping_ && std::chrono::steady_clock::now() - stopAsked_ > kGoodbyeTime) break;
        }
        if (rc == MOSQ_ERR_SUCCESS) {
            if (Connected()) pause = 1, sayAway = true;
            continue;
        }
        // The connection ended: by Stop's goodbye, by the broker, or the network.
        linked = false;
        if (onLost_) onLost_();
        {
            std::lock_guard<std::mutex> lock(mutex_);
            connected_ = false;
            if (stopping_) break;
        }
        if (Hopeless(rc, error)) break;
        if (sayAway)
            Say(rc == MOSQ_ERR_CONN_REFUSED ? kBrokerRefused : kBrokerAway, options_,
                mosquitto_strerror(rc));
        sayAway = false;
        if (!Pause(pause)) break;
        pause = std::min(pause * 2, kLongestPause);
    }
}

bool MqttClient::Pause(double seconds) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait_for(lock, std::chrono::duration<double>(seconds), [this] { return stopping_; });
    return !stopping_;
}

bool MqttClient::Hopeless(int rc, int error) {
    std::string why;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        // The TLS handshake failing shows as the TLS error, or as a system error EPROTO.
        // A broker that turns the client's certificate away (none given, or one its CA did not
        // sign) sends a TLS alert once the client has sent its first message, so the
        // connection ends before the broker's answer, with the alert as the reason.
        const bool alert =
            !options_.caFile.empty() && !accepted_ && lastError_.find("alert") != std::string::npos;
        if (rc == MOSQ_ERR_TLS || (rc == MOSQ_ERR_ERRNO && error == EPROTO) || alert)
            why = Text(kTlsRefused, options_,
                       lastError_.empty() ? mosquitto_strerror(rc) : lastError_);
        else if (rc == MOSQ_ERR_CONN_REFUSED && (refusal_ == 4 || refusal_ == 5))
            why = Text(kUserRefused, options_, mosquitto_connack_string(refusal_));
        else
            return false;
        failure_ = why;
    }
    return true;
}

std::string MqttClient::Failure() {
    std::lock_guard<std::mutex> lock(mutex_);
    return failure_;
}

void MqttClient::OnLog(mosquitto *, void *self, int level, const char *text) {
    if (level != MOSQ_LOG_ERR || !text) return;
    auto *client = static_cast<MqttClient *>(self);
    std::lock_guard<std::mutex> lock(client->mutex_);
    // "OpenSSL Error[0]: error:0A000086:SSL routines::certificate verify failed": the reason.
    std::string line = text;
    const std::size_t routines = line.find("routines::");
    client->lastError_ = routines == std::string::npos ? line : line.substr(routines + 10);
}

void MqttClient::OnConnect(mosquitto *, void *self, int result) {
    auto *client = static_cast<MqttClient *>(self);
    if (result != 0) { // refused: the loop ends the connection and says why
        std::lock_guard<std::mutex> lock(client->mutex_);
        client->refusal_ = result;
        return;
    }
    {
        std::lock_guard<std::mutex> lock(client->mutex_);
        client->connected_ = true;
        client->accepted_ = true;
    }
    Say(kBrokerConnected, client->options_, "");
    if (client->onConnected_) client->onConnected_();
}

void MqttClient::OnDisconnect(mosquitto *, void *self, int) {
    auto *client = static_cast<MqttClient *>(self);
    std::lock_guard<std::mutex> lock(client->mutex_);
    client->connected_ = false;
}

void MqttClient::OnPublish(mosquitto *, void *self, int id) {
    auto *client = static_cast<MqttClient *>(self);
    {
        std::lock_guard<std::mutex> lock(client->mutex_);
        client->acknowledged_.push_back(id);
        if (client->acknowledged_.size() > kAcknowledgedKept) client->acknowledged_.pop_front();
    }
    client->changed_.notify_all();
}

int MqttClient::Publish(const std::string &topic, const std::string &payload, int qos,
                        bool retain) {
    if (!mosq_) return -1;
    int id = 0;
    const int rc = mosquitto_publish(mosq_, &id, topic.c_str(), int(payload.size()), payload.data(),
                                     qos, retain);
    return rc == MOSQ_ERR_SUCCESS ? id : -1;
}

bool MqttClient::WaitAcknowledged(int id, double seconds) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::duration<double>(seconds), [&] {
        return std::find(acknowledged_.begin(), acknowledged_.end(), id) != acknowledged_.end();
    });
}

bool MqttClient::Connected() {
    std::lock_guard<std::mutex> lock(mutex_);
    return connected_;
}

void MqttClient::Stop() {
    if (!thread_.joinable()) return;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
        stopAsked_ = std::chrono::steady_clock::now();
    }
    changed_.notify_all();
    mosquitto_disconnect(mosq_);
    thread_.join();
}

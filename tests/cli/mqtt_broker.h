// A real MQTT broker for the tests (the system's mosquitto, started on a free port of
// 127.0.0.1 with its configuration in the test's folder, nothing kept on disk, so a restart
// forgets every retained message), and a subscriber that keeps every message it receives with
// the time it came.
#pragma once

#include "taviron_process.h"

#include <chrono>
#include <condition_variable>
#include <csignal>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

struct mosquitto;

class MqttBroker {
  public:
    ~MqttBroker();
    // Starts the broker in `folder` (on the port it had before, after a Stop) with a listener
    // on port() for anyone, and `more` (lines of its configuration: another listener with its
    // own settings); fatal test failure when it does not listen within a few seconds.
    void Start(const fs::path &folder, const std::string &more = "");
    // Ends it with `signal` and waits for its end.
    void Stop(int signal = SIGTERM);
    int port() const { return port_; }

  private:
    int port_ = 0;
    std::unique_ptr<TavironProcess> process_;
};

struct MqttMessage {
    std::string topic, payload;
    bool retained = false;
    std::chrono::steady_clock::time_point at;
};

class MqttWatcher {
  public:
    // Connects to the broker on `port` and subscribes to `filter` ("taviron/#"); fatal test
    // failure when the subscription is not acknowledged within a few seconds.
    void Start(int port, const std::string &filter);
    ~MqttWatcher();

    std::vector<MqttMessage> Messages();
    // How many messages have come so far.
    std::size_t Count();
    // Waits up to `seconds` for a message that `match` accepts, among those from the `from`th
    // on (those already there too): true with it in *found.
    bool WaitFor(const std::function<bool(const MqttMessage &)> &match, double seconds,
                 MqttMessage *found = nullptr, std::size_t from = 0);

  private:
    mosquitto *mosq_ = nullptr;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<MqttMessage> messages_;
    bool subscribed_ = false;
};

// A message on `topic` whose payload holds `text`.
std::function<bool(const MqttMessage &)> On(const std::string &topic, const std::string &text);

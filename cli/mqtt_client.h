// The MQTT connection of taviron publish, on the system's MQTT client library: one broker, a
// last will set before connecting, a network thread of its own that connects, keeps the
// connection and reconnects with back-off (1, 2, 4 ... 30 s), and calls the publisher back
// each time the broker has accepted it, so that state and parameters go out again after every
// reconnect; and again when a connection has ended. Publishing is safe from the publisher's
// thread while the network thread runs.
#pragma once

#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

struct mosquitto;

struct MqttOptions {
    std::string host;
    int port = 1883;
    std::string clientId;
    std::string willTopic, willPayload; // retained, QoS 1
    std::string user, password;         // no user: no log-in
    std::string caFile;                 // TLS with the broker's certificate checked against it
    std::string certFile, keyFile;      // a client certificate (with caFile)
};

class MqttClient {
  public:
    MqttClient();
    ~MqttClient();
    MqttClient(const MqttClient &) = delete;
    MqttClient &operator=(const MqttClient &) = delete;

    // Sets the client up and starts the network thread, which connects. `onConnected` runs on
    // that thread after every accepted connection, `onLost` when one has ended. False with
    // *error when the client cannot be set up (the broker not answering is no error: it is
    // tried again).
    bool Start(const MqttOptions &options, std::function<void()> onConnected,
               std::function<void()> onLost, std::string *error);
    // Hands a message to the client: its id (>= 0), or -1 when the client refused it (live
    // values while the broker is away may be dropped; state and parameters go out again on
    // reconnect).
    int Publish(const std::string &topic, const std::string &payload, int qos, bool retain);
    // Waits until the broker has acknowledged the QoS 1 message `id`, up to `seconds`.
    bool WaitAcknowledged(int id, double seconds);
    // Whether the broker has accepted the connection and it stands now.
    bool Connected();
    // Why the connection cannot be made at all, so that trying again is no use: the broker's
    // certificate fails the check against the CA (no TLS, no connection: never plain text
    // instead), or the broker refuses the user. Empty while there is hope.
    std::string Failure();
    // Says goodbye (the broker then drops the last will) and ends the network thread.
    void Stop();

  private:
    void Run();
    // Waits up to `seconds` unless Stop is called; false once it is.
    bool Pause(double seconds);
    static void OnConnect(mosquitto *, void *self, int result);
    static void OnDisconnect(mosquitto *, void *self, int result);
    static void OnPublish(mosquitto *, void *self, int id);
    static void OnLog(mosquitto *, void *self, int level, const char *text);
    // A result of the client library that ends all hope (see Failure): true with failure_ set.
    bool Hopeless(int rc, int error);

    mosquitto *mosq_ = nullptr;
    MqttOptions options_;
    std::function<void()> onConnected_, onLost_;
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool stopping_ = false;
    bool connected_ = false;
    bool accepted_ = false; // the broker has accepted the connection of this attempt
    std::deque<int> acknowledged_;
    int refusal_ = 0;       // the broker's last refusal of a connection (CONNACK code)
    std::string lastError_; // the client library's last error line (the TLS library's reason)
    std::string failure_;   // the ids acknowledged last (a few hundred kept)
    std::chrono::steady_clock::time_point stopAsked_;
};

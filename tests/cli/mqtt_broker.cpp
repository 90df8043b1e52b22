// The tests' broker and subscriber (see mqtt_broker.h).
#include "mqtt_broker.h"

#include "taviron_fixture.h"

#include <gtest/gtest.h>
#include <mosquitto.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <fstream>
#include <thread>

namespace {

bool Listens(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(uint16_t(port));
    const bool ok = connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) == 0;
    close(fd);
    return ok;
}

} // namespace

MqttBroker::~MqttBroker() {
    if (process_) Stop(SIGKILL);
}

void MqttBroker::Start(const fs::path &folder, const std::string &more) {
    if (!port_) port_ = FreePort();
    ASSERT_NE(port_, 0);
    const fs::path config = folder / "mosquitto.conf";
    // Started by root, the broker would read its files as another user: it stays the test's.
    const passwd *user = getpwuid(geteuid());
    std::ofstream(config) << "per_listener_settings true\npersistence false\n"
                          << "user " << (user ? user->pw_name : "root") << "\n"
                          << "listener " << port_ << " 127.0.0.1\nallow_anonymous true\n"
                          << more;
    process_ = std::make_unique<TavironProcess>();
    process_->Start("/usr/sbin/mosquitto", {"-c", config.string()}, folder);
    for (int i = 0; i < 100 && !Listens(port_); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(Listens(port_)) << "mosquitto does not listen on " << port_;
}

void MqttBroker::Stop(int signal) {
    if (!process_) return;
    process_->Signal(signal);
    process_->Wait(10);
    process_.reset();
}

void MqttWatcher::Start(int port, const std::string &filter) {
    mosquitto_lib_init();
    mosq_ = mosquitto_new(nullptr, true, this);
    ASSERT_NE(mosq_, nullptr);
    mosquitto_message_callback_set(mosq_, [](mosquitto *, void *self, const mosquitto_message *m) {
        auto *w = static_cast<MqttWatcher *>(self);
        MqttMessage message;
        message.topic = m->topic;
        message.payload.assign(static_cast<const char *>(m->payload), std::size_t(m->payloadlen));
        message.retained = m->retain;
        message.at = std::chrono::steady_clock::now();
        {
            std::lock_guard<std::mutex> lock(w->mutex_);
            w->messages_.push_back(message);
        }
        w->changed_.notify_all();
    });
    mosquitto_subscribe_callback_set(mosq_, [](mosquitto *, void *self, int, int, const int *) {
        auto *w = static_cast<MqttWatcher *>(self);
        {
            std::lock_guard<std::mutex> lock(w->mutex_);
            w->subscribed_ = true;
        }
        w->changed_.notify_all();
    });
    ASSERT_EQ(mosquitto_connect(mosq_, "127.0.0.1", port, 30), MOSQ_ERR_SUCCESS);
    ASSERT_EQ(mosquitto_subscribe(mosq_, nullptr, filter.c_str(), 1), MOSQ_ERR_SUCCESS);
    ASSERT_EQ(mosquitto_loop_start(mosq_), MOSQ_ERR_SUCCESS);
    std::unique_lock<std::mutex> lock(mutex_);
    ASSERT_TRUE(changed_.wait_for(lock, std::chrono::seconds(5), [this] { return subscribed_; }));
}

MqttWatcher::~MqttWatcher() {
    if (!mosq_) return;
    mosquitto_disconnect(mosq_);
    mosquitto_loop_stop(mosq_, true);
    mosquitto_destroy(mosq_);
    mosquitto_lib_cleanup();
}

std::vector<MqttMessage> MqttWatcher::Messages() {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_;
}

std::size_t MqttWatcher::Count() {
    std::lock_guard<std::mutex> lock(mutex_);
    return messages_.size();
}

bool MqttWatcher::WaitFor(const std::function<bool(const MqttMessage &)> &match, double seconds,
                          MqttMessage *found, std::size_t from) {
    std::unique_lock<std::mutex> lock(mutex_);
    return changed_.wait_for(lock, std::chrono::duration<double>(seconds), [&] {
        for (std::size_t i = from; i < messages_.size(); ++i)
            if (match(messages_[i])) {
                if (found) *found = messages_[i];
                return true;
            }
        return false;
    });
}

std::function<bool(const MqttMessage &)> On(const std::string &topic, const std::string &text) {
    return [topic, text](const MqttMessage &m) {
        return m.topic == topic && m.payload.find(text) != std::string::npos;
    };
}

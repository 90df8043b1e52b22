// The stand-in sensor of scripted_sensor.h: plain POSIX sockets or a pseudo-terminal and one
// thread, woken by the line or by a pipe that tells it to send, hang up or stop.
#include "scripted_sensor.h"

#include "loopback.h"
#include "protocol/frame.h"

#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

ScriptedSensor::ScriptedSensor(Transport transport) : transport_(transport) {
    const bool line = transport == Transport::Tcp ? (listenFd_ = ListenOnLoopback(&port_)) >= 0
                                                  : openPseudoTerminal();
    if (!line || pipe(commandPipe_) != 0) {
        port_ = 0;
        serialPath_.clear();
        return;
    }
    thread_ = std::thread([this] { serve(); });
}

ScriptedSensor::~ScriptedSensor() {
    if (thread_.joinable()) {
        poke('x');
        thread_.join();
    }
    for (int fd : {listenFd_, master_, slaveKeep_, commandPipe_[0], commandPipe_[1]})
        if (fd >= 0) close(fd);
}

// A raw pseudo-terminal: the program's port gets exactly the bytes the sensor writes.
bool ScriptedSensor::openPseudoTerminal() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    char name[128];
    if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0 ||
        ptsname_r(master_, name, sizeof name) != 0)
        return false;
    slaveKeep_ = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    termios t{};
    if (slaveKeep_ < 0 || tcgetattr(slaveKeep_, &t) != 0) return false;
    cfmakeraw(&t);
    cfsetispeed(&t, B115200);
    cfsetospeed(&t, B115200);
    tcsetattr(slaveKeep_, TCSANOW, &t);
    serialPath_ = name;
    return true;
}

void ScriptedSensor::poke(char command) {
    (void)!write(commandPipe_[1], &command, 1);
}

void ScriptedSensor::queueReply(int order, std::vector<Bytes> frames, int delayMs) {
    std::lock_guard<std::mutex> lock(mutex_);
    queued_[order].push_back({std::move(frames), delayMs});
}

void ScriptedSensor::alwaysReply(int order, std::vector<Bytes> frames) {
    std::lock_guard<std::mutex> lock(mutex_);
    standing_[order] = {std::move(frames), 0};
}

void ScriptedSensor::acknowledgeOthers() {
    std::lock_guard<std::mutex> lock(mutex_);
    acknowledgeOthers_ = true;
}

void ScriptedSensor::send(Bytes bytes) {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        unasked_.push_back(std::move(bytes));
    }
    poke('s');
}

void ScriptedSensor::hangUp() {
    if (!thread_.joinable()) return;
    poke('h');
    std::unique_lock<std::mutex> lock(mutex_);
    hungUpSeen_.wait(lock, [this] { return hungUp_; });
}

ScriptedSensor::Bytes ScriptedSensor::frame(std::uint8_t order, std::uint16_t argument,
                                            const Bytes &data) {
    Bytes out(FrameHeaderSize + data.size());
    int n = frameBuild(out.data(), int(out.size()), order, argument,
                       data.empty() ? nullptr : data.data(), int(data.size()));
    out.resize(n < 0 ? 0 : size_t(n));
    return out;
}

std::vector<ScriptedSensor::Bytes> ScriptedSensor::requests() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

int ScriptedSensor::requestCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return int(requests_.size());
}

std::vector<int> ScriptedSensor::orders() const {
    std::lock_guard<std::mutex> lock(mutex_);
    std::vector<int> out;
    for (const Bytes &r : requests_)
        out.push_back(r[1]);
    return out;
}

bool ScriptedSensor::replyTo(const Bytes &request, Reply *reply) {
    std::lock_guard<std::mutex> lock(mutex_);
    requests_.push_back(request);
    const int order = request[1];
    auto queue = queued_.find(order);
    if (queue != queued_.end() && !queue->second.empty()) {
        *reply = std::move(queue->second.front());
        queue->second.erase(queue->second.begin());
        return true;
    }
    auto standing = standing_.find(order);
    if (standing != standing_.end()) {
        *reply = standing->second;
        return true;
    }
    if (!acknowledgeOthers_) return false;
    *reply = {{frame(std::uint8_t(order), 0)}, 0};
    return true;
}

namespace {

// Writes all of `bytes`, or what the line takes: bytes nobody reads are lost, as on a real line.
void WriteAll(int fd, const ScriptedSensor::Bytes &bytes, bool socket) {
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t n = socket ? send(fd, bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL)
                                 : write(fd, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return;
        done += size_t(n);
    }
}

} // namespace

bool ScriptedSensor::receive(int fd, Bytes &rx) {
    std::uint8_t buf[1024];
    const ssize_t n = read(fd, buf, sizeof buf);
    if (n <= 0) return transport_ == Transport::Serial; // a pseudo-terminal stays
    rx.insert(rx.end(), buf, buf + n);
    // Whole request frames: a header, then the data it announces.
    while (rx.size() >= size_t(FrameHeaderSize)) {
        const size_t total = FrameHeaderSize + getU16(&rx[4]);
        if (rx.size() < total) break;
        const Bytes request(rx.begin(), rx.begin() + long(total));
        rx.erase(rx.begin(), rx.begin() + long(total));
        Reply reply;
        if (!replyTo(request, &reply)) continue;
        if (reply.delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(reply.delayMs));
        for (const Bytes &f : reply.frames)
            WriteAll(fd, f, transport_ == Transport::Tcp);
    }
    return true;
}

void ScriptedSensor::serve() {
    const bool serial = transport_ == Transport::Serial;
    int fd = serial ? master_ : -1;
    Bytes rx;
    for (;;) {
        pollfd p[2] = {{fd < 0 ? listenFd_ : fd, POLLIN, 0}, {commandPipe_[0], POLLIN, 0}};
        if (p[0].fd < 0) p[0].events = 0; // hung up: only commands
        if (poll(p, 2, -1) < 0) continue; // interrupted by a signal
        if (p[1].revents) {
            char command = 0;
            if (read(commandPipe_[0], &command, 1) != 1 || command == 'x') break;
            if (command == 's') {
                std::deque<Bytes> out;
                {
                    std::lock_guard<std::mutex> lock(mutex_);
                    out.swap(unasked_);
                }
                for (const Bytes &b : out)
                    if (fd >= 0) WriteAll(fd, b, !serial);
            } else if (command == 'h') {
                if (fd >= 0) close(fd);
                fd = -1;
                if (serial) {
                    master_ = -1;
                    if (slaveKeep_ >= 0) close(slaveKeep_);
                    slaveKeep_ = -1;
                } else {
                    close(listenFd_);
                    listenFd_ = -1;
                }
                std::lock_guard<std::mutex> lock(mutex_);
                hungUp_ = true;
                hungUpSeen_.notify_all();
            }
            continue;
        }
        if (p[0].fd < 0 || !p[0].revents) continue;
        if (fd < 0) {
            fd = accept(listenFd_, nullptr, nullptr);
            rx.clear();
            continue;
        }
        if (!receive(fd, rx)) { // the program closed the conversation: wait for the next one
            close(fd);
            fd = -1;
        }
    }
    if (fd >= 0 && !serial) close(fd);
}

// The stand-in sensor of scripted_sensor.h: plain POSIX sockets and one thread, woken by its
// connection or by a pipe that tells it to stop.
#include "scripted_sensor.h"

#include "loopback.h"
#include "protocol/frame.h"

#include <chrono>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

ScriptedSensor::ScriptedSensor() {
    listenFd_ = ListenOnLoopback(&port_);
    if (listenFd_ < 0 || pipe(stopPipe_) != 0) {
        port_ = 0;
        return;
    }
    thread_ = std::thread([this] { serve(); });
}

ScriptedSensor::~ScriptedSensor() {
    if (thread_.joinable()) {
        (void)!write(stopPipe_[1], "x", 1);
        thread_.join();
    }
    for (int fd : {listenFd_, stopPipe_[0], stopPipe_[1]})
        if (fd >= 0) close(fd);
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

void ScriptedSensor::serve() {
    int fd = -1;
    Bytes rx;
    for (;;) {
        pollfd p[2] = {{fd < 0 ? listenFd_ : fd, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
        if (poll(p, 2, -1) < 0) continue; // interrupted by a signal
        if (p[1].revents) break;
        if (fd < 0) {
            fd = accept(listenFd_, nullptr, nullptr);
            rx.clear();
            continue;
        }
        std::uint8_t buf[1024];
        ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) { // the program closed the conversation: wait for the next one
            close(fd);
            fd = -1;
            continue;
        }
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
                if (send(fd, f.data(), f.size(), MSG_NOSIGNAL) < 0) break;
        }
    }
    if (fd >= 0) close(fd);
}

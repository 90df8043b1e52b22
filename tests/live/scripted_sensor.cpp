// A sensor that answers from a script, for replies the simulated sensor never gives.
#include "scripted_sensor.h"

#include "protocol/frame.h"

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

ScriptedSensor::ScriptedSensor(std::vector<Reply> script) : script_(std::move(script)) {
    listenFd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    bind(listenFd_, reinterpret_cast<sockaddr *>(&a), sizeof a);
    listen(listenFd_, 1);
    socklen_t len = sizeof a;
    getsockname(listenFd_, reinterpret_cast<sockaddr *>(&a), &len);
    port_ = ntohs(a.sin_port);
    if (pipe(stopPipe_) != 0) stopPipe_[0] = stopPipe_[1] = -1;
    thread_ = std::thread([this] { serve(); });
}

ScriptedSensor::~ScriptedSensor() {
    if (stopPipe_[1] >= 0) (void)!write(stopPipe_[1], "x", 1);
    thread_.join();
    for (int fd : {listenFd_, stopPipe_[0], stopPipe_[1]})
        if (fd >= 0) close(fd);
}

std::vector<int> ScriptedSensor::orders() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return orders_;
}

std::vector<uint8_t> ScriptedSensor::Frame(uint8_t order, const std::vector<uint8_t> &data) {
    std::vector<uint8_t> f(FrameHeaderSize + data.size());
    frameBuild(f.data(), int(f.size()), order, 0, data.data(), int(data.size()));
    return f;
}

void ScriptedSensor::serve() {
    // Waits for `fd` to become readable; false once the sensor is told to stop.
    auto wait = [this](int fd) {
        pollfd p[2] = {{fd, POLLIN, 0}, {stopPipe_[0], POLLIN, 0}};
        return poll(p, 2, -1) > 0 && !(p[1].revents & POLLIN);
    };
    if (!wait(listenFd_)) return;
    int fd = accept(listenFd_, nullptr, nullptr);
    if (fd < 0) return;
    size_t next = 0;
    std::vector<uint8_t> in;
    while (wait(fd)) {
        uint8_t buf[256];
        ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) break;
        in.insert(in.end(), buf, buf + n);
        while (in.size() >= size_t(FrameHeaderSize)) { // requests here carry no data
            {
                std::lock_guard<std::mutex> lock(mutex_);
                orders_.push_back(in[1]);
            }
            in.erase(in.begin(), in.begin() + FrameHeaderSize);
            ++requests_;
            if (next >= script_.size()) continue; // out of script: no answer
            const Reply &r = script_[next++];
            if (r.delayMs > 0) std::this_thread::sleep_for(std::chrono::milliseconds(r.delayMs));
            (void)!write(fd, r.frame.data(), r.frame.size());
        }
    }
    close(fd);
}

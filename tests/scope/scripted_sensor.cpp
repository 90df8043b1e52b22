// The stand-in sensor of scripted_sensor.h: plain POSIX sockets and one thread.
#include "scripted_sensor.h"

#include "protocol/frame.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

ScriptedSensor::ScriptedSensor() {
    listenFd_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    socklen_t len = sizeof a;
    if (listenFd_ < 0 || bind(listenFd_, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0 ||
        listen(listenFd_, 1) != 0 ||
        getsockname(listenFd_, reinterpret_cast<sockaddr *>(&a), &len) != 0)
        return;
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { serve(); });
}

ScriptedSensor::~ScriptedSensor() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    if (listenFd_ >= 0) close(listenFd_);
}

void ScriptedSensor::queueReply(int order, std::vector<std::vector<std::uint8_t>> frames) {
    std::lock_guard<std::mutex> lock(mutex_);
    replies_[order].push_back(std::move(frames));
}

std::vector<std::uint8_t> ScriptedSensor::frame(std::uint8_t order, std::uint16_t argument,
                                                const std::vector<std::uint8_t> &data) {
    std::vector<std::uint8_t> out(FrameHeaderSize + data.size());
    int n = frameBuild(out.data(), int(out.size()), order, argument,
                       data.empty() ? nullptr : data.data(), int(data.size()));
    out.resize(n < 0 ? 0 : size_t(n));
    return out;
}

std::vector<std::vector<std::uint8_t>> ScriptedSensor::requests() {
    std::lock_guard<std::mutex> lock(mutex_);
    return requests_;
}

void ScriptedSensor::serve() {
    int fd = -1;
    std::vector<std::uint8_t> rx;
    while (!stop_) {
        pollfd p{fd < 0 ? listenFd_ : fd, POLLIN, 0};
        if (poll(&p, 1, 20) <= 0) continue;
        if (fd < 0) {
            fd = accept(listenFd_, nullptr, nullptr);
            continue;
        }
        std::uint8_t buf[1024];
        ssize_t n = read(fd, buf, sizeof buf);
        if (n <= 0) {
            close(fd);
            fd = -1;
            rx.clear();
            continue;
        }
        rx.insert(rx.end(), buf, buf + n);
        // Whole request frames: a header, then the data it announces.
        while (rx.size() >= size_t(FrameHeaderSize)) {
            size_t total = FrameHeaderSize + getU16(&rx[4]);
            if (rx.size() < total) break;
            std::vector<std::uint8_t> request(rx.begin(), rx.begin() + long(total));
            rx.erase(rx.begin(), rx.begin() + long(total));
            std::vector<std::vector<std::uint8_t>> answer;
            {
                std::lock_guard<std::mutex> lock(mutex_);
                requests_.push_back(request);
                auto &queue = replies_[request[1]];
                if (!queue.empty()) {
                    answer = std::move(queue.front());
                    queue.erase(queue.begin());
                }
            }
            for (const auto &f : answer)
                if (write(fd, f.data(), f.size()) < 0) break;
        }
    }
    if (fd >= 0) close(fd);
}

// A TCP relay between the program and the simulated sensor that can, on demand, send the
// program a flood of bytes nobody asked for. One connection, one thread: it passes requests
// and replies through unchanged and writes the flood toward the program between them.
#pragma once

#include "tests/support/loopback.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

class FloodProxy {
  public:
    explicit FloodProxy(int sensorPort) : sensorPort_(sensorPort) {
        listener_ = ListenOnLoopback(&port_);
        thread_ = std::thread([this] { Serve(); });
    }
    ~FloodProxy() {
        stop_ = true;
        thread_.join();
        close(listener_);
    }
    int port() const { return port_; }
    // Starts sending `bytes` bytes of noise to the program; done() tells when all are out.
    void flood(long long bytes) { floodLeft_ = bytes; }
    bool done() const { return floodLeft_ == 0; }

  private:
    void Serve() {
        int client = -1, sensor = -1;
        std::vector<uint8_t> noise(64 * 1024, 0xA5);
        std::vector<uint8_t> buf(64 * 1024);
        while (!stop_) {
            if (client < 0) {
                pollfd p{listener_, POLLIN, 0};
                if (poll(&p, 1, 20) <= 0) continue;
                client = accept(listener_, nullptr, nullptr);
                sensor = ConnectToLoopback(sensorPort_);
                continue;
            }
            const bool flooding = floodLeft_ > 0;
            pollfd p[2] = {{client, short(POLLIN | (flooding ? POLLOUT : 0)), 0},
                           {sensor, POLLIN, 0}};
            if (poll(p, 2, 20) <= 0) continue;
            if (p[0].revents & POLLIN) {
                ssize_t n = read(client, buf.data(), buf.size());
                if (n <= 0) break;
                (void)!write(sensor, buf.data(), size_t(n));
            }
            if (p[1].revents & POLLIN) {
                ssize_t n = read(sensor, buf.data(), buf.size());
                if (n <= 0) break;
                (void)!write(client, buf.data(), size_t(n));
            }
            if (flooding && (p[0].revents & POLLOUT)) {
                const long long left = floodLeft_;
                const size_t chunk = left < (long long)noise.size() ? size_t(left) : noise.size();
                ssize_t n = send(client, noise.data(), chunk, MSG_DONTWAIT | MSG_NOSIGNAL);
                if (n > 0) floodLeft_ = left - n;
            }
        }
        if (client >= 0) close(client);
        if (sensor >= 0) close(sensor);
    }

    int sensorPort_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<long long> floodLeft_{0};
    std::thread thread_;
};

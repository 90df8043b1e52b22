// A bare TCP peer that answers like the sensor but sends a hardware block of any length the
// test chooses (the simulated sensor always sends 512 bytes). One client, one thread; it
// answers the identity check, the parameter read and order 194, and every other order with a
// bare header.
#pragma once

#include "protocol/frame.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

class FakeSensor {
  public:
    explicit FakeSensor(std::vector<std::uint8_t> block) : block_(std::move(block)) {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        bind(listener_, reinterpret_cast<sockaddr *>(&addr), sizeof addr);
        listen(listener_, 1);
        getsockname(listener_, reinterpret_cast<sockaddr *>(&addr), &len);
        port_ = ntohs(addr.sin_port);
        thread_ = std::thread([this] { Serve(); });
    }
    ~FakeSensor() {
        stop_ = true;
        thread_.join();
        close(listener_);
    }
    int port() const { return port_; }

  private:
    std::vector<std::uint8_t> block_;
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stop_{false};
    std::thread thread_;

    // Waits up to 50 ms for the descriptor; false when nothing came.
    bool Ready(int fd) {
        pollfd p{fd, POLLIN, 0};
        return poll(&p, 1, 50) > 0;
    }

    bool ReadAll(int fd, std::uint8_t *out, int count) {
        for (int got = 0; got < count;) {
            if (stop_) return false;
            if (!Ready(fd)) continue;
            ssize_t n = read(fd, out + got, count - got);
            if (n <= 0) return false;
            got += int(n);
        }
        return true;
    }

    void Reply(int fd, std::uint8_t order, std::uint16_t argument,
               const std::vector<std::uint8_t> &data) {
        std::uint8_t frame[FrameMaxSize];
        int n = frameBuild(frame, sizeof frame, order, argument, data.data(), int(data.size()));
        if (n > 0) (void)!write(fd, frame, n);
    }

    void Serve() {
        int fd = -1;
        while (!stop_ && fd < 0)
            if (Ready(listener_)) fd = accept(listener_, nullptr, nullptr);
        std::uint8_t header[FrameHeaderSize], data[FrameMaxData];
        while (fd >= 0 && ReadAll(fd, header, FrameHeaderSize)) {
            int length = header[4] | (header[5] << 8);
            if (length > FrameMaxData || !ReadAll(fd, data, length)) break;
            const std::string firmware = "TAVIRON V1.0.3 2026-11-28";
            switch (header[1]) {
            case OrderFirmware:
                Reply(fd, OrderFirmware, 0, {firmware.begin(), firmware.end()});
                break;
            case OrderSensorId:
                Reply(fd, OrderSensorId, 4711, {'F', 'A', 'K', 'E'});
                break;
            case OrderGetPara:
                Reply(fd, OrderGetPara, 0, {50, 0, 25, 0, 0, 0, 0, 0});
                break;
            case OrderHardwareInfo:
                Reply(fd, OrderHardwareInfo, 0, block_);
                break;
            default:
                Reply(fd, header[1], 0, {});
                break;
            }
        }
        if (fd >= 0) close(fd);
    }
};

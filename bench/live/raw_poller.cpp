// The minimal raw client: the same order 8 exchanges as the live cycle, without any program.
#include "raw_poller.h"

#include "program_host.h"

#include "platform/ui.h"
#include "protocol/frame.h"

#include <arpa/inet.h>
#include <cstdio>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace {

bool ReadAll(int fd, uint8_t *p, int n) {
    while (n > 0) {
        ssize_t r = read(fd, p, size_t(n));
        if (r <= 0) return false;
        p += r;
        n -= int(r);
    }
    return true;
}

} // namespace

namespace {

// Order 8 exchanges on an open descriptor until `seconds` have passed.
void PollOn(int fd, double seconds, RawPollResult *result) {
    uint8_t request[FrameHeaderSize];
    frameBuild(request, sizeof request, OrderLiveData, 0, nullptr, 0);
    uint8_t reply[FrameMaxSize];
    const double cpu0 = ThreadCpuSeconds(), t0 = Timer();
    while (Timer() - t0 < seconds) {
        FrameHeader h;
        if (write(fd, request, sizeof request) != ssize_t(sizeof request) ||
            !ReadAll(fd, reply, FrameHeaderSize) || !frameCheckHeader(reply, &h) ||
            h.length > FrameMaxData || !ReadAll(fd, reply + FrameHeaderSize, h.length) ||
            frameDataCrc(reply + FrameHeaderSize, h.length) != h.dataCrc) {
            result->ok = false;
            break;
        }
        ++result->polls;
    }
    result->seconds = Timer() - t0;
    result->cpuSeconds = ThreadCpuSeconds() - cpu0;
}

} // namespace

RawPollResult RawPollSerial(const char *device, double seconds) {
    RawPollResult result;
    int fd = open(device, O_RDWR | O_NOCTTY);
    termios t{};
    if (fd < 0 || tcgetattr(fd, &t) != 0) {
        if (fd >= 0) close(fd);
        result.ok = false;
        return result;
    }
    cfmakeraw(&t);
    cfsetispeed(&t, B115200);
    cfsetospeed(&t, B115200);
    t.c_cc[VMIN] = 1;
    t.c_cc[VTIME] = 0;
    tcsetattr(fd, TCSANOW, &t);
    PollOn(fd, seconds, &result);
    close(fd);
    return result;
}

RawPollResult RawPollTcp(int port, double seconds) {
    RawPollResult result;
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one); // as the program's socket
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(uint16_t(port));
    if (connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0) {
        close(fd);
        result.ok = false;
        return result;
    }
    PollOn(fd, seconds, &result);
    close(fd);
    return result;
}

RawPollResult RawPollSerialReference(const char *device, double seconds) {
    const RawPollResult raw = RawPollSerial(device, seconds);
    if (raw.ok && raw.polls > 0)
        std::printf("raw client on the same line: %.1f polls/s, ratio to the line limit %.3f\n",
                    raw.polls / raw.seconds, raw.polls / raw.seconds / kSerialLineLimit);
    return raw;
}

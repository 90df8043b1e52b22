// The raw test client: sockets, termios and poll, nothing of the program's exchange code.
#include "raw_client.h"

#include <arpa/inet.h>
#include <chrono>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

namespace simtest {

namespace {

speed_t speedOf(int rate) {
    switch (rate) {
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    case 460800:
        return B460800;
    case 921600:
        return B921600;
    default:
        return B2400;
    }
}

long long msSince(std::chrono::steady_clock::time_point t) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 t)
        .count();
}

} // namespace

std::vector<uint8_t> request(uint8_t order, uint16_t argument, const std::vector<uint8_t> &data) {
    std::vector<uint8_t> frame(FrameMaxSize);
    int n =
        frameBuild(frame.data(), int(frame.size()), order, argument, data.data(), int(data.size()));
    frame.resize(size_t(n));
    return frame;
}

RawClient RawClient::tcp(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(uint16_t(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&a), sizeof a) != 0) {
        ::close(fd);
        return RawClient(-1);
    }
    int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    return RawClient(fd);
}

RawClient RawClient::serial(const std::string &path, int rate) {
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    RawClient c(fd);
    if (fd >= 0) c.setRate(rate);
    return c;
}

RawClient::RawClient(RawClient &&other) noexcept : fd_(other.fd_) {
    other.fd_ = -1;
}

RawClient &RawClient::operator=(RawClient &&other) noexcept {
    if (this != &other) {
        close();
        fd_ = other.fd_;
        other.fd_ = -1;
    }
    return *this;
}

RawClient::~RawClient() {
    close();
}

void RawClient::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
}

void RawClient::setRate(int rate) {
    termios t{};
    tcgetattr(fd_, &t);
    cfmakeraw(&t);
    cfsetispeed(&t, speedOf(rate));
    cfsetospeed(&t, speedOf(rate));
    tcsetattr(fd_, TCSANOW, &t);
}

bool RawClient::send(const std::vector<uint8_t> &bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
        if (n <= 0) return false;
        done += size_t(n);
    }
    return true;
}

std::vector<uint8_t> RawClient::read(size_t count, int timeoutMs) {
    std::vector<uint8_t> out;
    auto start = std::chrono::steady_clock::now();
    while (out.size() < count) {
        long long left = timeoutMs - msSince(start);
        if (left <= 0) break;
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, int(left)) <= 0) break;
        uint8_t buf[2048];
        size_t want = std::min(sizeof buf, count - out.size());
        ssize_t n = ::read(fd_, buf, want);
        if (n <= 0) break;
        out.insert(out.end(), buf, buf + n);
    }
    return out;
}

std::vector<uint8_t> RawClient::readQuiet(int quietMs) {
    std::vector<uint8_t> out;
    for (;;) {
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, quietMs) <= 0) break;
        uint8_t buf[2048];
        ssize_t n = ::read(fd_, buf, sizeof buf);
        if (n <= 0) break;
        out.insert(out.end(), buf, buf + n);
    }
    return out;
}

Reply RawClient::readReply(int timeoutMs) {
    Reply r;
    r.raw = read(FrameHeaderSize, timeoutMs);
    if (r.raw.size() < size_t(FrameHeaderSize)) return r;
    r.headerOk = frameCheckHeader(r.raw.data(), &r.header);
    if (!r.headerOk) return r;
    size_t length = std::min<size_t>(r.header.length, 1100);
    r.data = read(length, timeoutMs);
    r.raw.insert(r.raw.end(), r.data.begin(), r.data.end());
    r.dataOk = r.data.size() == r.header.length &&
               (r.header.length == 0 ||
                frameDataCrc(r.data.data(), int(r.data.size())) == r.header.dataCrc);
    return r;
}

Reply RawClient::exchange(const std::vector<uint8_t> &frame, int timeoutMs) {
    send(frame);
    return readReply(timeoutMs);
}

bool RawClient::closedByPeer(int timeoutMs) {
    pollfd p{fd_, POLLIN, 0};
    if (::poll(&p, 1, timeoutMs) <= 0) return false;
    uint8_t b;
    return ::recv(fd_, &b, 1, MSG_PEEK) == 0;
}

} // namespace simtest
